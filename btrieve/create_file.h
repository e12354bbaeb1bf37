// Record-manager files made from a record length and key segments, and
// empty copies of an open file's layout.
//
// Every file the system makes has key 0 as the 4-byte auto-increment prefix
// (positions 1-4) that the numbered-file layer leaves zero on insert. The
// create buffer has the Stat shape (btrieve/stat_layout.h), filled as:
//   header: record length, page size 4096, number of keys (byte 4), byte 9
//           set to 1, every other byte 0
//   one 16-byte entry per segment, in the caller's order: position, length
//           (4 for the auto-increment key), flags (1 duplicates, 2
//           modifiable, 16 when the next segment belongs to the same key,
//           256 always), type byte 15 for the auto-increment segment, else
//           0 (string); every other byte 0; a case-insensitive segment
//           adds flag 0x400
// The key buffer carries the file name and a zero byte; key length is the
// name length + 1.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

// One key segment as callers declare it (10 bytes in memory, in order).
struct TKeySpec {
  uint8_t KeyNo = 0;  // consecutive entries with one KeyNo are the segments of one key
  uint8_t SegNo = 0;  // informational, not read
  uint16_t Position = 0;  // 1-based; the prefix occupies 1-4
  uint16_t Length = 0;
  bool Duplicates = false;
  bool Modifiable = false;
  bool AutoInc = false;  // key 0 only
  bool CaseInsensitive = false;  // letters compare in one case (flag 0x400)

  bool operator==(const TKeySpec&) const = default;
};
static_assert(sizeof(TKeySpec) == 10);

constexpr int MaxKeySegments = 50;
constexpr uint16_t MaxCreateRecordLength = 3000;
constexpr uint16_t CreatePageSize = 4096;
// The auto-increment prefix.
constexpr uint16_t AutoIncKeyLength = 4;

// Creates Name with SegCount segments of Specs. False with the reason in
// Msg (cut to MaxLen bytes): a refused specification, a name the key buffer
// cannot carry (status 11's text), or the engine's status text. Everything
// the layer can refuse is refused before the interface is loaded or called;
// Specs is never changed. NoOverwrite refuses to replace an existing file.
bool BtrCreateFile(const std::string& Name, uint16_t RecLen, int8_t SegCount, std::string& Msg, size_t MaxLen,
                   bool NoOverwrite, std::span<const TKeySpec> Specs);

// The create buffer of a file of RecLen with SegCount segments of Specs,
// as BtrCreateFile hands it to the engine; False with the reason in Msg.
bool BuildCreateBuffer(uint16_t RecLen, int8_t SegCount, std::span<const TKeySpec> Specs, std::vector<uint8_t>& buffer,
                       std::string& Msg);
// Checks SegCount segments of Specs and completes them: key 0 gets length
// 4, later segments of a key take the key's Duplicates and Modifiable. The
// number of keys; -1 when no count results (no segments, or fewer specs
// than SegCount). A refusal leaves its text in Msg.
int BtrCheckKeySpecs(int8_t SegCount, std::span<TKeySpec> Specs, std::string& Msg);

// Creates NewName, replacing a file of that name, empty, with the layout of
// the file open as FileNo. Raises EBtrAbort.
void BtrCloneFile(uint8_t FileNo, const std::string& NewName);

// The fillers of the create buffer.
// Value as low byte, then high byte.
void PutWordBytes(uint8_t* P, uint16_t Value);
// Record length and page size into the header; False, with
// "Record length exceeds maximum of 3000" in Msg, above 3000.
bool CheckRecordLength(uint8_t* Header, uint16_t RecLen, std::string& Msg);
// Header bytes 5-15 (byte 4, the key count, is written before).
void FillFileSpecTail(uint8_t* Header);
// Segment bytes 6-15: the key type and zeros.
void FillKeySpecTail(uint8_t* Segment, bool AutoInc);
