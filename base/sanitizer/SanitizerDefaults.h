#pragma once

// The options every program of a sanitizer build starts with (the address
// sanitizer's default-options hook, defined once in SanitizerDefaults.cpp and
// added to each program by the build). ASAN_OPTIONS in the environment still
// overrides any of them.
//
// A program that needs options of its own defines this function; its text is
// appended to the common options:
//
//   extern "C" const char* tarnwell_asan_options() { return "max_malloc_fill_size=16777216"; }
extern "C" __attribute__((weak)) const char* tarnwell_asan_options();
