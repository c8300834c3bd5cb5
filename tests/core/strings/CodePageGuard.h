#pragma once
// Sets the ANSI code page for one test and puts the old one back afterwards.

#include "platform/win/CodePage.h"

namespace strtest {

class CodePageGuard {
 public:
  explicit CodePageGuard(UINT codePage) : FOld(GetACP()) { SetAnsiCodePage(codePage); }
  ~CodePageGuard() { SetAnsiCodePage(FOld); }
  CodePageGuard(const CodePageGuard&) = delete;
  CodePageGuard& operator=(const CodePageGuard&) = delete;

 private:
  UINT FOld;
};

}  // namespace strtest
