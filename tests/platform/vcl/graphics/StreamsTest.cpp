// Streams: memory, file and resource streams, short transfers and errors.

#include <cstring>
#include <fstream>

#include "platform/vcl/Streams.h"
#include "platform/win/Resources.h"
#include "tests/platform/vcl/graphics/GraphicsTestSupport.h"

namespace {

class FileStreams : public gfxtest::ScratchDir {};

std::string Content(TCustomMemoryStream& s) {
  return {static_cast<const char*>(s.Memory()), static_cast<std::size_t>(s.Size())};
}

}  // namespace

TEST(MemoryStream, WriteSeekReadAndGrow) {
  TMemoryStream s;
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Write("hello", 5), 5);
  EXPECT_EQ(s.Position(), 5);
  EXPECT_EQ(s.Seek(-2, soFromEnd), 3);
  s.WriteBuffer("p!", 2);
  EXPECT_EQ(Content(s), "help!");
  s.SetPosition(0);
  char buffer[8] = {};
  EXPECT_EQ(s.Read(buffer, 8), 5);  // a short read answers what it got
  EXPECT_EQ(std::string(buffer, 5), "help!");
  EXPECT_EQ(s.Read(buffer, 8), 0);
  s.SetPosition(0);
  EXPECT_THROW(s.ReadBuffer(buffer, 6), EReadError);

  // A write after a seek past the end leaves zeros in the gap.
  s.Seek(3, soFromEnd);
  s.WriteBuffer("x", 1);
  EXPECT_EQ(s.Size(), 9);
  EXPECT_EQ(Content(s), std::string("help!\0\0\0x", 9));
  s.SetSize(2);
  EXPECT_EQ(Content(s), "he");
  EXPECT_EQ(s.Position(), 2);
  s.Clear();
  EXPECT_EQ(s.Size(), 0);
  EXPECT_EQ(s.Position(), 0);

  // Negative positions and counts move nothing; absurd growth is refused.
  s.Seek(-10, soFromBeginning);
  EXPECT_EQ(s.Write("a", 1), 0);
  EXPECT_EQ(s.Read(buffer, 1), 0);
  EXPECT_EQ(s.Read(buffer, -1), 0);
  s.SetPosition(0x7FFFFFFF);
  EXPECT_THROW(s.Write("a", 1), EStreamError);
  s.SetPosition(INT64_MAX);
  EXPECT_THROW(s.Write("a", 1), EStreamError);
  EXPECT_EQ(s.Size(), 0);
}

TEST(MemoryStream, CopyFrom) {
  TMemoryStream a, b;
  std::string big(100000, '\0');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7);
  a.WriteBuffer(big.data(), static_cast<std::int64_t>(big.size()));
  a.SetPosition(10);
  EXPECT_EQ(b.CopyFrom(a, 0), 100000);  // 0: the whole source from its start
  EXPECT_EQ(Content(b), big);
  a.SetPosition(99990);
  EXPECT_THROW(b.CopyFrom(a, 20), EReadError);
}

TEST_F(FileStreams, CreateWriteOpenRead) {
  {
    TFileStream f(Path("data.bin"), fmCreate);
    f.WriteBuffer("0123456789", 10);
    EXPECT_EQ(f.Size(), 10);
    f.Seek(2, soFromBeginning);
    f.WriteBuffer("ab", 2);
    EXPECT_EQ(f.FileName(), Path("data.bin"));
  }
  {
    TFileStream f(Path("data.bin"), fmOpenRead | fmShareDenyNone);
    char buffer[16] = {};
    EXPECT_EQ(f.Read(buffer, 16), 10);
    EXPECT_EQ(std::string(buffer, 10), "01ab456789");
    EXPECT_EQ(f.Seek(-3, soFromEnd), 7);
    f.ReadBuffer(buffer, 3);
    EXPECT_EQ(std::string(buffer, 3), "789");
    EXPECT_THROW(f.ReadBuffer(buffer, 1), EReadError);
    EXPECT_THROW(f.WriteBuffer("x", 1), EWriteError);  // opened for reading
  }
  {
    TFileStream f(Path("data.bin"), fmOpenReadWrite);
    f.SetSize(4);
    f.Seek(0, soFromEnd);
    f.WriteBuffer("Z", 1);
  }
  TMemoryStream m;
  m.LoadFromFile(Path("data.bin"));
  EXPECT_EQ(Content(m), "01abZ");

  // System paths with backslashes and another case reach the same file.
  std::filesystem::create_directories(dir / "Sub");
  { TFileStream f(dir.string() + "\\sub\\x.txt", fmCreate); }
  EXPECT_TRUE(std::filesystem::exists(dir / "Sub" / "x.txt"));

  EXPECT_THROW(TFileStream(Path("missing.bin"), fmOpenRead), EFOpenError);
  EXPECT_THROW(TFileStream(Path("no/such/folder/x.bin"), fmCreate), EFCreateError);
  EXPECT_THROW(TFileStream(dir.string(), fmOpenRead), EFOpenError);  // a folder
  EXPECT_THROW(m.LoadFromFile(Path("missing.bin")), EFOpenError);
  EXPECT_EQ(Content(m), "01abZ");
}

TEST_F(FileStreams, MemoryStreamSavesWhole) {
  TMemoryStream m;
  m.WriteBuffer("first", 5);
  m.SaveToFile(Path("out.txt"));
  std::ifstream in(Path("out.txt"));
  std::string text;
  in >> text;
  EXPECT_EQ(text, "first");
  EXPECT_THROW(m.SaveToFile(Path("no/such/dir/out.txt")), EFCreateError);

  TMemoryStream copy;
  m.SetPosition(3);
  copy.LoadFromStream(m);
  EXPECT_EQ(Content(copy), "first");
  TMemoryStream target;
  copy.SaveToStream(target);
  EXPECT_EQ(Content(target), "first");
}

TEST(ResourceStream, ReadsAndRefusesWrites) {
  static const unsigned char data[] = {1, 2, 3, 4, 5};
  static const EmbeddedResource table[] = {{"GFXTEST_RAW", "#10", data, sizeof data}, {"#77", "#10", data, 2}};
  RegisterEmbeddedResources(table, 2);
  TResourceStream s(HInstance, "gfxtest_raw", RT_RCDATA);
  EXPECT_EQ(s.Size(), 5);
  unsigned char buffer[5];
  s.ReadBuffer(buffer, 5);
  EXPECT_EQ(buffer[4], 5);
  EXPECT_THROW(s.WriteBuffer("x", 1), EStreamError);
  TResourceStream byId(HInstance, MAKEINTRESOURCE(77), RT_RCDATA);
  EXPECT_EQ(byId.Size(), 2);
  try {
    TResourceStream missing(HInstance, "NO_SUCH_THING", RT_RCDATA);
    FAIL() << "no exception";
  } catch (const EResNotFound& e) {
    EXPECT_EQ(e.Message(), "Resource NO_SUCH_THING not found");
  }
  EXPECT_THROW(TResourceStream(HInstance, MAKEINTRESOURCE(78), RT_RCDATA), EResNotFound);
}
