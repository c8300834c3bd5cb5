#pragma once
// The stamp list: the times, sizes and CRCs of the files the last compilation
// wrote, kept from one run of the host to the next in a text file in the web
// project folder (the project name and ".txt"), so that a later compilation
// can give files whose content did not change their old times.
//
// The file has one line per file, ended by CR LF:
//   path,last-write low,last-write high,creation low,creation high,CRC-32,size
// with the numbers in uppercase hexadecimal without leading zeros. In memory
// the list is a TStringList of the paths, each with a GeneratedFileRecord
// attached as its object. The string list does not own its objects: records
// go in through AddRecordItem, and the list's owner frees them with
// FreeListItems.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/win/WinTypes.h"

class TStringList;

// One generated file: as the generator's table keeps it.
struct GeneratedFileRecord {
  FILETIME creationTime;
  FILETIME lastAccessTime;  // not kept in the stamp list
  FILETIME lastWriteTime;
  std::uint32_t size = 0;
  std::uint32_t crc32 = 0;
  std::uint8_t notForId = 0;   // not kept in the stamp list
  std::uint8_t spareFlag = 0;  // not kept in the stamp list
};

// Adds the path with its record attached and returns the item's index. A
// path that a sorted list ignores as a duplicate gets no record: that record
// is destroyed here.
int AddRecordItem(TStringList& list, const std::string& path, std::unique_ptr<GeneratedFileRecord> record);

// Adds one item per non-empty line of the file to the list, each with a new
// record: the text before the first comma is the item, the six numbers after
// it fill the record (numbers missing at the end stay 0; a line without a
// comma gives a record of zeros). A record whose path the list already holds
// (a sorted list that ignores duplicates) is dropped. Nothing happens for a
// null list or a file that cannot be read.
void LoadHexRecordList(const std::string& fileName, TStringList* list);

// Writes one line per item, in list order (an item without a record as
// zeros), as the file's new content through a temporary file and a rename.
// Nothing happens for a null list or a file that cannot be written.
bool SaveHexRecordList(const std::string& fileName, const TStringList* list);

// Frees the record attached to every item and clears the attachment; the
// items stay.
void FreeListItems(TStringList* list);
