// The Win32 file calls: dispositions and their last errors, reading and
// writing, positions, attributes and folders, on system paths.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/win/Win32File.h"

namespace {

namespace fs = std::filesystem;

class Win32FileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "win32fileXXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }
  // A system path below the test folder, with backslashes.
  std::string Path(const std::string& relative) const { return dir_.string() + "\\" + relative; }
  std::string Content(const fs::path& p) const {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  HANDLE Open(const std::string& path, DWORD access, DWORD disposition) {
    return CreateFile(path.c_str(), access, FILE_SHARE_READ, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  fs::path dir_;
};

TEST_F(Win32FileTest, DispositionsAndTheirLastErrors) {
  const std::string file = Path("a.txt");
  SetLastError(12345);
  HANDLE h = Open(file, GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  ASSERT_TRUE(WriteFile(h, "hello", 5, nullptr, nullptr));
  ASSERT_TRUE(CloseHandle(h));

  EXPECT_EQ(Open(file, GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);

  h = Open(file, GENERIC_READ, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(h, &high), 5u) << "OPEN_ALWAYS keeps the content";
  EXPECT_EQ(high, 0u);
  CloseHandle(h);

  h = Open(file, GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_EQ(GetFileSize(h, nullptr), 0u) << "CREATE_ALWAYS empties the file";
  CloseHandle(h);

  h = Open(Path("new.txt"), GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(h);
  h = Open(Path("new2.txt"), GENERIC_READ | GENERIC_WRITE, OPEN_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
  CloseHandle(h);

  EXPECT_EQ(Open(Path("missing.txt"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(Open(Path("no\\missing.txt"), GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open(Path("no\\missing.txt"), GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_EQ(Open("", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Open(file, GENERIC_READ, 0), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(Open(file, GENERIC_READ, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
}

TEST_F(Win32FileTest, FoldersCannotBeOpenedAsFiles) {
  ASSERT_TRUE(CreateDirectory(Path("Images").c_str(), nullptr));
  for (DWORD access : {GENERIC_READ, GENERIC_WRITE}) {
    EXPECT_EQ(Open(Path("images"), access, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  }
  EXPECT_EQ(Open(Path("IMAGES"), GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
}

TEST_F(Win32FileTest, ReadWriteAndPositions) {
  std::vector<unsigned char> data(100000);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<unsigned char>(i * 7 + 3);
  HANDLE h = Open(Path("data.bin"), GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h, data.data(), static_cast<DWORD>(data.size()), &written, nullptr));
  EXPECT_EQ(written, data.size());
  EXPECT_EQ(GetFileSize(h, nullptr), data.size());

  EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), data.size());
  EXPECT_EQ(SetFilePointer(h, -10, nullptr, FILE_END), data.size() - 10);
  unsigned char tail[32];
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(h, tail, sizeof tail, &got, nullptr));
  EXPECT_EQ(got, 10u) << "fewer bytes only at the end";
  EXPECT_EQ(0, std::memcmp(tail, data.data() + data.size() - 10, 10));
  ASSERT_TRUE(ReadFile(h, tail, sizeof tail, &got, nullptr));
  EXPECT_EQ(got, 0u) << "at the end: success, no bytes";

  // A 64-bit distance: high half 0, low half 1000.
  LONG high = 0;
  EXPECT_EQ(SetFilePointer(h, 1000, &high, FILE_BEGIN), 1000u);
  EXPECT_EQ(high, 0);
  std::vector<unsigned char> back(data.size());
  ASSERT_TRUE(ReadFile(h, back.data(), static_cast<DWORD>(back.size()), &got, nullptr));
  EXPECT_EQ(got, data.size() - 1000);
  EXPECT_EQ(0, std::memcmp(back.data(), data.data() + 1000, got));

  EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_NEGATIVE_SEEK);
  EXPECT_EQ(SetFilePointer(h, 0, nullptr, 9), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_EQ(fs::file_size(dir_ / "data.bin"), data.size());
}

TEST_F(Win32FileTest, AccessTheHandleLacksAndBadHandles) {
  HANDLE h = Open(Path("w.txt"), GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  char c;
  DWORD got = 99;
  EXPECT_FALSE(ReadFile(h, &c, 1, &got, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(got, 0u);
  CloseHandle(h);
  h = Open(Path("w.txt"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(WriteFile(h, "x", 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  CloseHandle(h);

  EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(CloseHandle(nullptr));
  EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, &c, 1, nullptr, nullptr));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_EQ(GetFileSize(INVALID_HANDLE_VALUE, nullptr), INVALID_FILE_SIZE);
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(Win32FileTest, AttributesFoldersAndDeletion) {
  { std::ofstream(dir_ / "File.TXT") << "x"; }
  EXPECT_EQ(GetFileAttributes(Path("file.txt").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
  EXPECT_NE(GetFileAttributes(Path("file.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetFileAttributes(Path("gone.txt").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);

  ASSERT_TRUE(CreateDirectory(Path("SendRoot").c_str(), nullptr));
  EXPECT_FALSE(CreateDirectory(Path("sendroot").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_FALSE(CreateDirectory(Path("a\\b").c_str(), nullptr));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  ASSERT_TRUE(CreateDirectory(Path("SENDROOT\\WWW").c_str(), nullptr));
  EXPECT_TRUE(fs::is_directory(dir_ / "SendRoot" / "WWW"));
  EXPECT_EQ(GetFileAttributes(Path("sendroot\\www\\").c_str()), FILE_ATTRIBUTE_DIRECTORY);

  EXPECT_FALSE(DeleteFile(Path("SendRoot").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(RemoveDirectory(Path("SendRoot").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
  EXPECT_TRUE(RemoveDirectory(Path("sendroot\\www").c_str()));
  EXPECT_TRUE(RemoveDirectory(Path("sendroot").c_str()));

  EXPECT_TRUE(DeleteFile(Path("FILE.txt").c_str()));
  EXPECT_FALSE(fs::exists(dir_ / "File.TXT"));
  EXPECT_FALSE(DeleteFile(Path("FILE.txt").c_str()));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

// The copy of a file with its times, as the file helpers do it: read the whole
// source, create the target as a new file, write it in one piece, give it the
// source's creation and last-write times.
TEST_F(Win32FileTest, CopyKeepingTheTimes) {
  { std::ofstream(dir_ / "logo.png", std::ios::binary) << std::string(3000, 'p'); }
  HANDLE src = Open(Path("Logo.PNG"), GENERIC_READ, OPEN_EXISTING);
  ASSERT_NE(src, INVALID_HANDLE_VALUE);
  const FILETIME stamp = UInt64ToFileTime(133595461840560001ull);
  ASSERT_TRUE(SetFileTime(src, nullptr, nullptr, &stamp));
  FILETIME created, accessed, written;
  ASSERT_TRUE(GetFileTime(src, &created, &accessed, &written));
  const DWORD size = GetFileSize(src, nullptr);
  std::vector<char> bytes(size);
  DWORD got = 0;
  ASSERT_TRUE(ReadFile(src, bytes.data(), size, &got, nullptr));
  ASSERT_EQ(got, size);

  ASSERT_TRUE(CreateDirectory(Path("Images").c_str(), nullptr));
  HANDLE dst = Open(Path("images\\logo.png"), GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(dst, INVALID_HANDLE_VALUE);
  ASSERT_TRUE(WriteFile(dst, bytes.data(), size, &got, nullptr));
  ASSERT_TRUE(SetFileTime(dst, &created, nullptr, &written));
  CloseHandle(dst);
  CloseHandle(src);

  EXPECT_EQ(Content(dir_ / "Images" / "logo.png"), std::string(3000, 'p'));
  FILETIME copied;
  ASSERT_TRUE(GetPathFileTime(Path("Images\\logo.png"), nullptr, nullptr, &copied));
  EXPECT_EQ(FileTimeToUInt64(copied), 133595461840560001ull);
}

}  // namespace
