#pragma once
// The class library's COM check: a failing result code becomes an exception
// inside the system, so that one handler catches every failed host call.

#include <string>

#include "platform/com/Unknown.h"
#include "platform/vcl/SysUtilsException.h"

class EOleSysError : public Exception {
 public:
  EOleSysError(const std::string& message, HRESULT errorCode) : Exception(message), FErrorCode(errorCode) {}
  HRESULT ErrorCode() const { return FErrorCode; }

 private:
  HRESULT FErrorCode;
};

// Raises EOleSysError ("OLE error 80004005") for a failing result; returns the
// result unchanged otherwise (S_FALSE included).
HRESULT OleCheck(HRESULT result);
