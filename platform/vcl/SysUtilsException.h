#pragma once
// The class library's root exception: every error the system raises inside
// derives from it and carries its text as Message.

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};

// A text that does not convert to the wanted type (StrToInt and the like).
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};
