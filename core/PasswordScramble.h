#pragma once
// The keyless scrambling of stored passwords: each byte c adds its complement
// (255 - c) to a running byte s (starting at 0), and s is written as two
// uppercase hexadecimal digits ("abc" -> "9E3BD7"). It hides a password from
// a casual look at the project file; it is no encryption.

#include <cstdio>
#include <functional>
#include <string>

// The scrambled form of at most the first 128 bytes of the text. The result
// lies in a process-wide buffer that the next call overwrites. A null text
// counts as empty.
const char* ScrambleHex(const char* plain);
// The inverse: two digits (0-9, A-F) at a time, at most 254 bytes produced; a
// last single digit and everything from a pair that is not two such digits on
// are ignored. A second process-wide buffer.
const char* UnscrambleHex(const char* scrambled);

// The form of a user's password in the project: its first 10 characters
// scrambled, and back from the first 20 digits.
std::string EncodeUserPassword(const std::string& password);
std::string DecodeUserPassword(const std::string& text);

// A source of bytes read one at a time: true and the next byte, or false at
// its end.
using ScrambleByteSource = std::function<bool(unsigned char& byte)>;

// Appends the scrambled form of `first` and of every byte the source still
// yields (no separator, no line end).
void WriteScrambledStream(std::string& out, const ScrambleByteSource& source, unsigned char first);
// The same into an open file.
void WriteScrambledStream(std::FILE* file, const ScrambleByteSource& source, unsigned char first);
