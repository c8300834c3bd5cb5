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

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

bool CopyIntoGzip(std::FILE* source, gzFile target) {
  std::array<char, kCopyChunk> buffer{};
  for (;;) {
    const std::size_t count = std::fread(buffer.data(), 1, buffer.size(), source);
    if (count > 0 && gzwrite(target, buffer.data(), static_cast<unsigned>(count)) != static_cast<int>(count))
      return false;
    if (count < buffer.size()) return std::ferror(source) == 0;
  }
}

}  // namespace

void StampImages(TmyXmlNode* root, const TGeneratedFiles& files) {
  TmyXmlNode* images = root->FindChild("images", {}, true);
  if (images == nullptr) return;
  TmyXmlNode* next = nullptr;
  for (TmyXmlNode* image = images->firstChild; image != nullptr; image = next) {
    next = image->next;
    const std::string key = "images\\" + image->GetAttr("name");
    const GeneratedFileRecord* record = files.Find(key);
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

bool GzipFile(const std::string& sourcePath, const std::string& targetPath) {
  const std::unique_ptr<std::FILE, FileCloser> source(std::fopen(ToNativePath(sourcePath).c_str(), "rb"));
  if (!source) return false;
  const std::string target = ToNativePath(targetPath);
  gzFile out = gzopen(target.c_str(), "wb9");
  if (out == nullptr) return false;
  const bool copied = CopyIntoGzip(source.get(), out);
  const bool closed = gzclose(out) == Z_OK;
  if (copied && closed) return true;
  std::error_code ignored;
  std::filesystem::remove(target, ignored);
  return false;
}
