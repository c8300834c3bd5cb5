// The images of the project description carry the time and size of the file
// the compile wrote, so that a panel can tell whether its copy is current;
// and the description itself travels gzip-compressed.

#include <zlib.h>

#include <array>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include "core/IecTime.h"
#include "core/XmlNode.h"
#include "generator/GeneratedFiles.h"
#include "generator/ProjectDescription.h"
#include "generator/ProjectDescriptionSteps.h"
#include "generator/XmlUtilities.h"
#include "platform/win/FileIo.h"
#include "platform/win/FileTime.h"
#include "platform/win/Paths.h"

namespace {

constexpr std::size_t kCopyChunk = 64 * 1024;

// The record whose times describe the file: the previous compile's when the
// file did not change (same non-zero size and CRC-32).
const GeneratedFileRecord& StampRecord(const TGeneratedFiles& files, const std::string& key,
                                       const GeneratedFileRecord& record) {
  const GeneratedFileRecord* previous = files.FindPrevious(key);
  if (previous != nullptr && previous->size != 0 && previous->size == record.size && previous->crc32 == record.crc32)
    return *previous;
  return record;
}

// Seconds since 1970-01-01 UTC of a file time; 0 when it cannot be converted.
std::int32_t SecondsOfFileTime(const FILETIME& time) {
  SYSTEMTIME calendar;
  if (!FileTimeToSystemTime(&time, &calendar)) return 0;
  std::tm parts{};
  SystemTimeToTm(parts, calendar);
  return static_cast<std::int32_t>(TmToTimeUtc(parts));
}

void StampImage(TmyXmlNode* image, const GeneratedFileRecord& record) {
  std::string text;
  image->SetAttr("time", AssignIntToStr(SecondsOfFileTime(record.lastWriteTime), text));
  image->SetAttr("size", AssignIntToStr(static_cast<std::int32_t>(record.size), text));
}

// The bytes in the gzip file format at the highest compression, as gzopen's
// "wb9" writes them; false when zlib fails.
bool GzipBytes(const std::string& bytes, std::string& zipped) {
  constexpr int kLevel = 9;
  constexpr int kGzipWindowBits = 15 + 16;  // the largest window, with the gzip wrapper
  constexpr int kMemoryLevel = 8;
  z_stream stream{};
  if (deflateInit2(&stream, kLevel, Z_DEFLATED, kGzipWindowBits, kMemoryLevel, Z_DEFAULT_STRATEGY) != Z_OK)
    return false;
  zipped.resize(deflateBound(&stream, static_cast<uLong>(bytes.size())));
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(zipped.data());
  stream.avail_out = static_cast<uInt>(zipped.size());
  const int result = deflate(&stream, Z_FINISH);
  zipped.resize(stream.total_out);
  deflateEnd(&stream);
  return result == Z_STREAM_END;
}

}  // namespace

void StampImages(TmyXmlNode* root, const TGeneratedFiles& files) {
  TmyXmlNode* images = root->FindChild("images", {}, true);
  if (images == nullptr) return;
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* image = images->firstChild; image != nullptr; image = next) {
    next = image->next;
    const std::string key = "images\\" + image->GetAttr("name");
    // A picture whose copy failed in this run keeps the last compile's copy.
    const GeneratedFileRecord* record = files.FindInOutput(key);
    if (record == nullptr) {
      std::unique_ptr<TmyXmlNode> removed(image);
      continue;
    }
    if (const TmyXmlAttrNode* longName = image->FindAttr("longname"))
      image->SetAttr("longname", longName->value + "." + image->GetAttr("type"));
    if (record->notForId != 0) {
      std::unique_ptr<TmyXmlNode> removed(image);
      continue;
    }
    StampImage(image, StampRecord(files, key, *record));
  }
}

bool GzipFile(const std::string& sourcePath, std::string& zipped) {
  std::string bytes;
  return ReadWholeFile(sourcePath, bytes) && GzipBytes(bytes, zipped);
}
