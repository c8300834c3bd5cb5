// The simulated PLC's answers to the file requests of service 40, checked
// byte by byte against requests built here.

#include <gtest/gtest.h>

#include "host/sim/SimulatedPlc.h"
#include "tests/host/PlcRequests.h"

namespace {

const Bytes kDate1 = {124, 5, 1, 12, 30, 15};  // 2024-05-01 12:30:15
const Bytes kDate2 = {124, 6, 2, 8, 0, 59};
const Bytes kFolderDate = {148, 0, 0, 0, 0, 0};  // the folder close: an all-zero calendar time
const Bytes kZeroDate = {0, 0, 0, 0, 0, 0};

class PlcFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    plc.Files().SetClock([] {
      PlcDate d;
      const std::uint8_t b[6] = {126, 12, 7, 6, 5, 4};
      for (int i = 0; i < 6; ++i) d.bytes[i] = b[i];
      return d;
    });
  }

  // Sends a service-40 request with a 256-byte reply buffer.
  Bytes Send(const Bytes& request, HRESULT* result = nullptr) {
    Bytes reply(256, 0xCC);
    std::uint32_t length = 256;
    HRESULT hr =
        plc.Send(0, kPlcServiceFile, static_cast<std::uint32_t>(request.size()), request.data(), &length, reply.data());
    if (result) *result = hr;
    EXPECT_TRUE(result || hr == S_OK);
    reply.resize(length);
    return reply;
  }

  std::uint32_t OpenOk(const std::string& path, std::uint8_t mode, std::uint32_t value) {
    Bytes a = Send(OpenRequest(path, mode, value));
    EXPECT_EQ(a.size(), 28u);
    EXPECT_EQ(U32At(a, 0), 0u) << path;
    return U32At(a, 4);
  }

  SimulatedPlc plc;
};

TEST_F(PlcFiles, FolderOpenCreateAndCloseAsTheUploadDoes) {
  // "//WWW/" is missing at first: 28 bytes, a non-zero status, handle 0xFFFFFFFF.
  Bytes a = Send(OpenRequest("//WWW/", 1, 0));
  ASSERT_EQ(a.size(), 28u);
  EXPECT_EQ(U32At(a, 0), kPlcFileNotFound);
  EXPECT_EQ(U32At(a, 4), 0xFFFFFFFFu);
  for (std::size_t i = 8; i < 28; ++i) EXPECT_EQ(a[i], 0) << i;

  // Created with mode 6: a handle, size 0, the clock's dates, the folder attribute.
  a = Send(OpenRequest("//WWW/", 6, 0));
  ASSERT_EQ(a.size(), 28u);
  EXPECT_EQ(U32At(a, 0), 0u);
  std::uint32_t handle = U32At(a, 4);
  EXPECT_NE(handle, 0xFFFFFFFFu);
  EXPECT_EQ(U32At(a, 8), 0u);
  EXPECT_EQ(Bytes(a.begin() + 12, a.begin() + 18), (Bytes{126, 12, 7, 6, 5, 4}));
  EXPECT_EQ(Bytes(a.begin() + 18, a.begin() + 24), (Bytes{126, 12, 7, 6, 5, 4}));
  EXPECT_EQ(U32At(a, 24), 0x10u);

  // Closed with the folder dates and attributes 0x10: 8 bytes, status 0; the dates stay.
  a = Send(CloseRequest(handle, kFolderDate, kFolderDate, 0x10));
  ASSERT_EQ(a.size(), 8u);
  EXPECT_EQ(U32At(a, 0), 0u);
  EXPECT_EQ(U32At(a, 4), handle);
  auto info = plc.Files().Find("//www/");
  ASSERT_TRUE(info);
  EXPECT_TRUE(info->folder);
  EXPECT_EQ(info->created.bytes[0], 126);

  // Now it opens with mode 1; the upload folder is made inside it.
  handle = OpenOk("//WWW/", 1, 0);
  EXPECT_EQ(U32At(Send(CloseRequest(handle, kFolderDate, kFolderDate, 0x10)), 0), 0u);
  handle = OpenOk("//WWW/UPLOAD/", 6, 0);
  EXPECT_EQ(U32At(Send(CloseRequest(handle, kFolderDate, kFolderDate, 0x10)), 0), 0u);
  EXPECT_EQ(plc.Files().OpenHandleCount(), 0u);

  // A folder inside a missing folder is refused.
  a = Send(OpenRequest("//NONE/SUB/", 6, 0));
  EXPECT_EQ(U32At(a, 0), kPlcFileNotFound);
  EXPECT_EQ(U32At(a, 4), 0xFFFFFFFFu);
}

TEST_F(PlcFiles, ThousandByteUploadInBlocksOf220AndReadBack) {
  ASSERT_TRUE(plc.Files().AddFolder("//WWW/"));
  ASSERT_TRUE(plc.Files().AddFolder("//WWW/UPLOAD/"));
  Bytes content(1000);
  for (std::size_t i = 0; i < content.size(); ++i) content[i] = static_cast<std::uint8_t>(i * 7 + 3);

  std::uint32_t handle = OpenOk("//WWW/UPLOAD/PIC_1A2B.JPG", 6, 1000);
  std::uint32_t offset = 0;
  for (std::uint32_t block : {220u, 220u, 220u, 220u, 120u}) {
    Bytes data(content.begin() + offset, content.begin() + offset + block);
    Bytes a = Send(WriteRequest(handle, offset, data));
    ASSERT_EQ(a.size(), 16u);
    EXPECT_EQ(U32At(a, 0), 0u);
    EXPECT_EQ(U32At(a, 4), handle);
    EXPECT_EQ(U32At(a, 8), offset);
    EXPECT_EQ(U32At(a, 12), block);
    offset += block;
  }
  Bytes a = Send(CloseRequest(handle, kDate1, kDate2, 0x20));
  ASSERT_EQ(a.size(), 8u);
  EXPECT_EQ(U32At(a, 0), 0u);

  auto info = plc.Files().Find("//WWW/UPLOAD/pic_1a2b.jpg");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->data, content);
  EXPECT_EQ(Bytes(info->created.bytes, info->created.bytes + 6), kDate1);
  EXPECT_EQ(Bytes(info->written.bytes, info->written.bytes + 6), kDate2);
  EXPECT_EQ(info->attributes, 0x20u);

  // The download: open with mode 1 gives size and both dates; reads of 220.
  a = Send(OpenRequest("//WWW/UPLOAD/PIC_1A2B.JPG", 1, 0));
  ASSERT_EQ(a.size(), 28u);
  EXPECT_EQ(U32At(a, 0), 0u);
  handle = U32At(a, 4);
  EXPECT_EQ(U32At(a, 8), 1000u);
  EXPECT_EQ(Bytes(a.begin() + 12, a.begin() + 18), kDate1);
  EXPECT_EQ(Bytes(a.begin() + 18, a.begin() + 24), kDate2);
  Bytes got;
  for (std::uint32_t off = 0; off < 1000; off += 220) {
    std::uint32_t count = std::min(1000u - off, 220u);
    a = Send(ReadRequest(handle, off, count));
    ASSERT_EQ(a.size(), 16u + count);
    EXPECT_EQ(U32At(a, 0), 0u);
    EXPECT_EQ(U32At(a, 12), count);
    got.insert(got.end(), a.begin() + 16, a.end());
  }
  EXPECT_EQ(got, content);
  // Asking past the end delivers what is left: a short answer.
  a = Send(ReadRequest(handle, 900, 220));
  ASSERT_EQ(a.size(), 16u + 100u);
  EXPECT_EQ(U32At(a, 12), 100u);
  // The download's close has zero dates: the times stay.
  a = Send(CloseRequest(handle, kZeroDate, kZeroDate, 0));
  EXPECT_EQ(U32At(a, 0), 0u);
  info = plc.Files().Find("//WWW/UPLOAD/PIC_1A2B.JPG");
  EXPECT_EQ(Bytes(info->written.bytes, info->written.bytes + 6), kDate2);
}

TEST_F(PlcFiles, EmptyFileTakesAZeroByteBlock) {
  ASSERT_TRUE(plc.Files().AddFolder("//RAM/X/"));
  std::uint32_t handle = OpenOk("//RAM/X/EMPTY.TXT", 6, 0);
  Bytes a = Send(WriteRequest(handle, 0, {}));
  ASSERT_EQ(a.size(), 16u);
  EXPECT_EQ(U32At(a, 0), 0u);
  EXPECT_EQ(U32At(a, 12), 0u);
  EXPECT_EQ(U32At(Send(CloseRequest(handle, kDate1, kDate1, 0)), 0), 0u);
  EXPECT_TRUE(plc.Files().Find("//RAM/X/EMPTY.TXT")->data.empty());
}

TEST_F(PlcFiles, StatusesOfRefusedRequests) {
  // Bad handles.
  Bytes a = Send(ReadRequest(77, 0, 10));
  ASSERT_EQ(a.size(), 16u);
  EXPECT_EQ(U32At(a, 0), kPlcFileBadHandle);
  EXPECT_EQ(U32At(a, 12), 0u);
  a = Send(CloseRequest(77, kDate1, kDate1, 0));
  ASSERT_EQ(a.size(), 8u);
  EXPECT_EQ(U32At(a, 0), kPlcFileBadHandle);
  a = Send(WriteRequest(77, 0, {1, 2}));
  EXPECT_EQ(U32At(a, 0), kPlcFileBadHandle);

  // Paths that leave the file system or are malformed.
  for (const char* path : {"//RAM/../ETC", "RAM/A.TXT", "//RAM\\A.TXT", "//RAM//A.TXT", "//RAM/./A", ""}) {
    a = Send(OpenRequest(path, 6, 1));
    ASSERT_EQ(a.size(), 28u) << path;
    EXPECT_EQ(U32At(a, 0), kPlcFileBadPath) << path;
    EXPECT_EQ(U32At(a, 4), 0xFFFFFFFFu);
  }
  Bytes longPath = OpenRequest("//RAM/" + std::string(80, 'A'), 6, 1);
  EXPECT_EQ(U32At(Send(longPath), 0), kPlcFileBadPath);
  // A path without its NUL.
  Bytes noNul = OpenRequest("//RAM/A.TXT", 6, 1);
  noNul.pop_back();
  EXPECT_EQ(U32At(Send(noNul), 0), kPlcFileBadPath);
  // Unknown mode, unknown command, wrong lengths.
  EXPECT_EQ(U32At(Send(OpenRequest("//RAM/A.TXT", 3, 0)), 0), kPlcFileBadRequest);
  a = Send(Bytes{9, 1, 2});
  ASSERT_EQ(a.size(), 8u);
  EXPECT_EQ(U32At(a, 0), kPlcFileBadRequest);
  Bytes shortClose = CloseRequest(1, kDate1, kDate1, 0);
  shortClose.pop_back();
  EXPECT_EQ(U32At(Send(shortClose), 0), kPlcFileBadRequest);

  // A file where a folder is named, and the other way round.
  ASSERT_TRUE(plc.Files().AddFile("//RAM/F.BIN", {1, 2, 3}, {}, {}));
  EXPECT_EQ(U32At(Send(OpenRequest("//RAM/F.BIN/", 1, 0)), 0), kPlcFileWrongKind);
  EXPECT_EQ(U32At(Send(OpenRequest("//RAM", 1, 0)), 0), kPlcFileWrongKind);

  // Writing through a handle opened for reading, and leaving a hole.
  std::uint32_t readHandle = OpenOk("//RAM/F.BIN", 1, 0);
  EXPECT_EQ(U32At(Send(WriteRequest(readHandle, 0, {9})), 0), kPlcFileNotWritable);
  EXPECT_EQ(U32At(Send(ReadRequest(readHandle, 4, 1)), 0), kPlcFileBadOffset);
  // A file open for reading is not replaced under its reader.
  EXPECT_EQ(U32At(Send(OpenRequest("//RAM/F.BIN", 6, 10)), 0), kPlcFileNotWritable);
  Send(CloseRequest(readHandle, kZeroDate, kZeroDate, 0));
  std::uint32_t w = OpenOk("//RAM/G.BIN", 6, 4);
  EXPECT_EQ(U32At(Send(WriteRequest(w, 5, {1})), 0), kPlcFileBadOffset);
  // A write whose count differs from the data it carries.
  Bytes lying = WriteRequest(w, 0, {1, 2, 3});
  lying.pop_back();
  EXPECT_EQ(U32At(Send(lying), 0), kPlcFileBadRequest);
  // A file larger than the limit is refused at creation.
  EXPECT_EQ(U32At(Send(OpenRequest("//RAM/BIG.BIN", 6, kPlcMaxFileSize + 1)), 0), kPlcFileNoSpace);
}

TEST_F(PlcFiles, HandlesRunOutAtSixteen) {
  std::vector<std::uint32_t> handles;
  for (int i = 0; i < 16; ++i) handles.push_back(OpenOk("//RAM/", 1, 0));
  Bytes a = Send(OpenRequest("//SDC/", 1, 0));
  EXPECT_EQ(U32At(a, 0), kPlcFileTooManyOpen);
  EXPECT_EQ(U32At(a, 4), 0xFFFFFFFFu);
  Send(CloseRequest(handles[3], kZeroDate, kZeroDate, 0));
  OpenOk("//SDC/", 1, 0);
}

TEST_F(PlcFiles, TransportFailuresChangeNothing) {
  // A reply buffer too small for the answer: an interface-specific code, answer length 0.
  Bytes request = OpenRequest("//WWW/", 6, 0);
  Bytes reply(27);
  std::uint32_t length = 27;
  EXPECT_EQ(
      plc.Send(0, kPlcServiceFile, static_cast<std::uint32_t>(request.size()), request.data(), &length, reply.data()),
      kPlcErrorReplyTooSmall);
  EXPECT_EQ(length, 0u);
  EXPECT_FALSE(plc.Files().Find("//WWW/"));
  EXPECT_EQ((kPlcErrorReplyTooSmall >> 16) & 0x1FFF, 4);
  // An empty request.
  length = 256;
  reply.assign(256, 0);
  EXPECT_EQ(plc.Send(0, kPlcServiceFile, 0, nullptr, &length, reply.data()), kPlcErrorBadRequest);
  // A null reply length.
  EXPECT_EQ(
      plc.Send(0, kPlcServiceFile, static_cast<std::uint32_t>(request.size()), request.data(), nullptr, reply.data()),
      E_POINTER);
  // Offline.
  plc.SetOnline(false);
  length = 256;
  EXPECT_EQ(
      plc.Send(0, kPlcServiceFile, static_cast<std::uint32_t>(request.size()), request.data(), &length, reply.data()),
      kPlcErrorOffline);
  EXPECT_FALSE(plc.Files().Find("//WWW/"));
  EXPECT_STRNE(PlcErrorText(kPlcErrorOffline), "");
}

}  // namespace
