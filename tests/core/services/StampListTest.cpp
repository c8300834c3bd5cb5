// The stamp list: its line format on disk, round trips through a sorted and
// an unsorted list, and the odd lines the reader must take.

#include <gtest/gtest.h>

#include <memory>

#include "core/StampList.h"
#include "platform/vcl/StringList.h"
#include "platform/win/FileTime.h"
#include "tests/core/services/ServicesTestSupport.h"

using servicestest::TempFolder;

namespace {

std::unique_ptr<GeneratedFileRecord> Record(std::uint64_t creation, std::uint64_t write, std::uint32_t size,
                                            std::uint32_t crc) {
  auto r = std::make_unique<GeneratedFileRecord>();
  r->creationTime.dwLowDateTime = static_cast<DWORD>(creation);
  r->creationTime.dwHighDateTime = static_cast<DWORD>(creation >> 32);
  r->lastWriteTime.dwLowDateTime = static_cast<DWORD>(write);
  r->lastWriteTime.dwHighDateTime = static_cast<DWORD>(write >> 32);
  r->lastAccessTime.dwLowDateTime = 77;  // not kept
  r->size = size;
  r->crc32 = crc;
  r->notForId = 1;  // not kept
  return r;
}

const GeneratedFileRecord& At(const TStringList& list, int i) {
  return *static_cast<const GeneratedFileRecord*>(list.Objects(i));
}

// Frees the records whatever happens in the test.
struct ListOwner {
  TStringList list;
  ~ListOwner() { FreeListItems(&list); }
};

}  // namespace

TEST(StampList, WritesOneCrLfLinePerItemInListOrder) {
  TempFolder dir;
  ListOwner owner;
  AddRecordItem(owner.list, "index.xml", Record(0x01DA0000ABCDEF12ull, 0x01DA0000ABCDEF14ull, 1234, 0xCBF43926));
  AddRecordItem(owner.list, "images\\LEFT.PNG", Record(0, 0x10, 0, 0));
  owner.list.Add("..\\PSW.TXT");  // no record: written as zeros
  SaveHexRecordList(dir.System("Plant1.txt"), &owner.list);
  EXPECT_EQ(dir.Read("Plant1.txt"),
            "index.xml,ABCDEF14,1DA0000,ABCDEF12,1DA0000,CBF43926,4D2\r\n"
            "images\\LEFT.PNG,10,0,0,0,0,0\r\n"
            "..\\PSW.TXT,0,0,0,0,0,0\r\n");
}

TEST(StampList, RoundTripKeepsPathsOrderAndRecords) {
  TempFolder dir;
  ListOwner written;
  written.list.SetSorted(true);
  AddRecordItem(written.list, "b.xsl", Record(0x01D9FFFF00000001ull, 0x01DA000000000002ull, 10, 0xFFFFFFFF));
  AddRecordItem(written.list, "A.js", Record(1, 2, 3, 4));
  AddRecordItem(written.list, "images\\x.png", Record(0xFFFFFFFFFFFFFFFFull, 0, 0xFFFFFFFF, 0));
  SaveHexRecordList(dir.System("s.txt"), &written.list);

  ListOwner read;
  LoadHexRecordList(dir.System("s.txt"), &read.list);
  ASSERT_EQ(read.list.Count(), written.list.Count());
  for (int i = 0; i < read.list.Count(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(read.list.Strings(i), written.list.Strings(i));
    const GeneratedFileRecord& a = At(read.list, i);
    const GeneratedFileRecord& b = At(written.list, i);
    EXPECT_EQ(FileTimeToUInt64(a.creationTime), FileTimeToUInt64(b.creationTime));
    EXPECT_EQ(FileTimeToUInt64(a.lastWriteTime), FileTimeToUInt64(b.lastWriteTime));
    EXPECT_EQ(a.size, b.size);
    EXPECT_EQ(a.crc32, b.crc32);
    EXPECT_EQ(FileTimeToUInt64(a.lastAccessTime), 0u);
    EXPECT_EQ(a.notForId, 0);
  }
}

TEST(StampList, OddLines) {
  TempFolder dir;
  dir.Write("odd.txt",
            "only-a-path\r\n"
            "\r\n"
            "\n"
            "with,path,x\r\n"
            "short,5,6\r\n"
            "lf-only,1,2,3,4,5,6\n"
            "last,A,B,C,D,E,F");
  ListOwner read;
  LoadHexRecordList(dir.System("odd.txt"), &read.list);
  ASSERT_EQ(read.list.Count(), 5);
  EXPECT_EQ(read.list.Strings(0), "only-a-path");
  EXPECT_EQ(At(read.list, 0).size, 0u);
  EXPECT_EQ(FileTimeToUInt64(At(read.list, 0).lastWriteTime), 0u);
  // A path holding a comma is cut there; what follows is no number.
  EXPECT_EQ(read.list.Strings(1), "with");
  EXPECT_EQ(FileTimeToUInt64(At(read.list, 1).lastWriteTime), 0u);
  EXPECT_EQ(read.list.Strings(2), "short");
  EXPECT_EQ(FileTimeToUInt64(At(read.list, 2).lastWriteTime), 0x0000000600000005ull);
  EXPECT_EQ(At(read.list, 2).crc32, 0u);
  EXPECT_EQ(read.list.Strings(3), "lf-only");
  EXPECT_EQ(At(read.list, 3).size, 6u);
  EXPECT_EQ(read.list.Strings(4), "last");
  EXPECT_EQ(FileTimeToUInt64(At(read.list, 4).creationTime), 0x0000000D0000000Cull);
  EXPECT_EQ(At(read.list, 4).crc32, 0xEu);
  EXPECT_EQ(At(read.list, 4).size, 0xFu);
}

TEST(StampList, DuplicatesOfASortedListAreDropped) {
  TempFolder dir;
  dir.Write("dup.txt", "Index.xml,1,0,0,0,0,0\r\nINDEX.XML,2,0,0,0,0,0\r\n");
  ListOwner read;
  read.list.SetSorted(true);
  LoadHexRecordList(dir.System("dup.txt"), &read.list);
  ASSERT_EQ(read.list.Count(), 1);
  EXPECT_EQ(At(read.list, 0).lastWriteTime.dwLowDateTime, 1u);
}

TEST(StampList, ADuplicateItemKeepsTheFirstRecord) {
  ListOwner owner;
  owner.list.SetSorted(true);
  EXPECT_EQ(AddRecordItem(owner.list, "a.xml", Record(0, 1, 0, 0)), 0);
  EXPECT_EQ(AddRecordItem(owner.list, "b.xml", Record(0, 2, 0, 0)), 1);
  EXPECT_EQ(AddRecordItem(owner.list, "A.XML", Record(0, 3, 0, 0)), 0);  // its record is destroyed
  ASSERT_EQ(owner.list.Count(), 2);
  EXPECT_EQ(At(owner.list, 0).lastWriteTime.dwLowDateTime, 1u);
  FreeListItems(&owner.list);
  EXPECT_EQ(owner.list.Objects(0), nullptr);
  EXPECT_EQ(owner.list.Count(), 2);  // the items stay
}

TEST(StampList, NothingHappensWithoutAListOrAFile) {
  TempFolder dir;
  LoadHexRecordList(dir.System("missing.txt"), nullptr);
  SaveHexRecordList(dir.System("never.txt"), nullptr);
  EXPECT_FALSE(dir.Exists("never.txt"));
  ListOwner read;
  read.list.Add("kept");
  LoadHexRecordList(dir.System("missing.txt"), &read.list);
  EXPECT_EQ(read.list.Count(), 1);
  SaveHexRecordList(dir.System("no\\folder\\x.txt"), &read.list);  // silently not written
  FreeListItems(nullptr);
}
