#pragma once
// SHA-1 of a text as 40 upper-case hexadecimal digits, as the login page's
// script computes the digest.

#include <openssl/evp.h>

#include <string>

#include "host/sim/web/WebValues.h"

inline std::string Sha1Hex(const std::string& text) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_Digest(text.data(), text.size(), digest, &length, EVP_sha1(), nullptr);
  return HexOfBytes(digest, length);
}
