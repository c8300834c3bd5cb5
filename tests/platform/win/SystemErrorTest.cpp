// The thread's last error and the system's error texts.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>
#include <thread>

#include "platform/win/SystemError.h"
#include "platform/win/Win32File.h"

namespace {

std::string Sentence(int error) { return std::string(std::strerror(error)) + "\r\n"; }

TEST(SystemErrorTest, ErrnoToWin32Codes) {
  EXPECT_EQ(Win32ErrorFromErrno(0), ERROR_SUCCESS);
  EXPECT_EQ(Win32ErrorFromErrno(ENOENT), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Win32ErrorFromErrno(ENOTDIR), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Win32ErrorFromErrno(EACCES), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Win32ErrorFromErrno(EPERM), ERROR_ACCESS_DENIED);
  EXPECT_EQ(Win32ErrorFromErrno(EEXIST), ERROR_FILE_EXISTS);
  EXPECT_EQ(Win32ErrorFromErrno(ETXTBSY), ERROR_SHARING_VIOLATION);
  EXPECT_EQ(Win32ErrorFromErrno(ENOSPC), ERROR_DISK_FULL);
  EXPECT_EQ(Win32ErrorFromErrno(EDQUOT), ERROR_DISK_FULL);
  EXPECT_EQ(Win32ErrorFromErrno(EBADF), ERROR_INVALID_HANDLE);
  EXPECT_EQ(Win32ErrorFromErrno(ENOTEMPTY), ERROR_DIR_NOT_EMPTY);
  EXPECT_EQ(Win32ErrorFromErrno(EHOSTUNREACH), 0x20000000u | EHOSTUNREACH);
}

TEST(SystemErrorTest, FormatMessageGivesTheSystemSentence) {
  char* text = nullptr;
  const DWORD n =
      FormatMessage(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_FILE_NOT_FOUND,
                    MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text), 1024, nullptr);
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(std::string(text), Sentence(ENOENT));
  EXPECT_EQ(n, std::strlen(text));
  EXPECT_EQ(LocalFree(text), nullptr);

  // The HRESULT of a Win32 error, and an errno without a Win32 code.
  EXPECT_EQ(SystemMessageText(0x80070005u), Sentence(EACCES));
  EXPECT_EQ(SystemMessageText(Win32ErrorFromErrno(EHOSTUNREACH)), Sentence(EHOSTUNREACH));
  EXPECT_EQ(SystemMessageText(ERROR_DISK_FULL), Sentence(ENOSPC));

  char small[8];
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, ERROR_ACCESS_DENIED, 0, small, sizeof small, nullptr),
            0u);
  EXPECT_EQ(GetLastError(), ERROR_INSUFFICIENT_BUFFER);
  char big[256];
  const DWORD m = FormatMessage(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                ERROR_ACCESS_DENIED, 0, big, sizeof big, nullptr);
  EXPECT_EQ(std::string(big, m), Sentence(EACCES));
}

TEST(SystemErrorTest, CodesWithoutText) {
  char* text = nullptr;
  SetLastError(0);
  EXPECT_EQ(FormatMessage(0x1100, nullptr, 0x1234567u, 0x400, reinterpret_cast<LPSTR>(&text), 0, nullptr), 0u);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(GetLastError(), ERROR_MR_MID_NOT_FOUND);
  EXPECT_EQ(SystemMessageText(0x80004005u), "");  // a COM error without a Win32 code
  EXPECT_EQ(FormatMessage(FORMAT_MESSAGE_FROM_STRING, "x", 2, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr), 0u);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST(SystemErrorTest, LastErrorIsPerThread) {
  SetLastError(ERROR_DISK_FULL);
  DWORD other = 99;
  std::thread([&] {
    other = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
  }).join();
  EXPECT_EQ(other, ERROR_SUCCESS);
  EXPECT_EQ(GetLastError(), ERROR_DISK_FULL);
}

// After a failed open the text of the last error names the failure and ends
// in a line break, ready to end a message about the file.
TEST(SystemErrorTest, LastErrorTextAfterAFailedOpen) {
  HANDLE h = CreateFile("/nonexistent-tarnwell-folder\\file.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  const std::string text = LastErrorText();
  EXPECT_EQ(text, Sentence(ENOENT));
  ASSERT_GE(text.size(), 2u);
  EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
  // An errno that shares its code with another keeps its own sentence, until
  // the code is set alone.
  SetLastErrorFromErrno(EPERM);
  EXPECT_EQ(LastErrorText(), Sentence(EPERM));
  SetLastError(GetLastError());
  EXPECT_EQ(LastErrorText(), Sentence(EACCES));
}

}  // namespace
