// The record manager's Stat answer, read. Create takes the same shape, so a
// file is cloned by handing its Stat answer back to Create.
//
// Layout (16-bit and 32-bit numbers least-significant byte first):
//   header, 16 bytes:
//     0-1   record length
//     2-3   page size
//     4-5   number of keys
//     6-9   number of records
//     10-15 not read here
//   from byte 16, one 16-byte entry per key segment, keys in order; every
//   segment of a key but its last carries flag 16, so an entry without it
//   ends a key and key n starts at the first entry after n keys ended:
//     0-1   position in the record, 1-based
//     2-3   length
//     4-5   flags (1 duplicates, 2 modifiable, 16 continues in the next
//           entry, 32 alternate collating, 256 extended type, 0x400
//           case-insensitive)
//     6-9   not read here
//     10    extended key type (0 string, 15 autoincrement)
//     11-14 not read here
//     15    number of the key's collating sequence (with flag 32)
//   behind the last segment of the last key, one 265-byte collating sequence
//   per number, from 0.
//
// A Stat buffer of 1920 bytes holds at most 119 segment entries; a file with
// more fills what fits. The reader trusts none of the counts: it walks only
// the entries and sequences wholly present in the bytes it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

constexpr size_t StatHeaderSize = 16;
constexpr size_t StatSegmentSize = 16;
constexpr size_t CollatingSequenceSize = 265;
// The Stat buffer of an open file (and the Create buffer of a clone).
constexpr size_t StatBufferSize = 1920;
constexpr size_t MaxStatSegments = (StatBufferSize - StatHeaderSize) / StatSegmentSize;

// Offsets of the header's fields; Create reads the same ones.
namespace StatField {
constexpr size_t RecordLength = 0;
constexpr size_t PageSize = 2;
constexpr size_t KeyCount = 4;
constexpr size_t RecordCount = 6;
}  // namespace StatField

// Offsets within one segment entry.
namespace StatSegmentField {
constexpr size_t Position = 0;
constexpr size_t Length = 2;
constexpr size_t Flags = 4;
constexpr size_t Type = 10;
constexpr size_t Sequence = 15;
}  // namespace StatSegmentField

namespace StatKeyFlag {
constexpr uint16_t Duplicates = 1;
constexpr uint16_t Modifiable = 2;
constexpr uint16_t Segmented = 16;
constexpr uint16_t AlternateCollating = 32;
// The type byte of the entry holds the key's type.
constexpr uint16_t ExtendedType = 256;
constexpr uint16_t CaseInsensitive = 0x400;
}  // namespace StatKeyFlag

// Extended key types.
namespace StatKeyType {
constexpr uint8_t String = 0;
constexpr uint8_t AutoIncrement = 15;
}  // namespace StatKeyType

// Little-endian fields of the engine's buffers.
inline uint16_t GetLE16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t GetLE32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void PutLE32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

struct TStatSegment {
  uint16_t Position = 0;
  uint16_t Length = 0;
  uint16_t Flags = 0;
  uint8_t Type = 0;
  uint8_t Sequence = 0;
};

// A view of the first Len bytes of a Stat answer; the bytes must outlive it.
class TStatLayout {
public:
  TStatLayout(const uint8_t* Data, size_t Len);

  // 0 when the header is not wholly present.
  uint16_t RecordLength() const;
  uint16_t PageSize() const;
  uint16_t KeyCount() const;
  uint32_t RecordCount() const;

  // The segment entries of the keys, walked from byte 16 until KeyCount keys
  // have ended, the bytes end, or 119 entries were read.
  size_t SegmentCount() const { return segments_; }
  // REQUIRES: I < SegmentCount().
  TStatSegment Segment(size_t I) const;

  // The entry index of key KeyNo's first segment; nothing when KeyNo is
  // negative or the walked entries do not hold that key whole.
  std::optional<size_t> KeySegment(int KeyNo) const;

  // The collating sequences wholly present behind the last key; none when
  // the entries of some key are missing.
  size_t SequenceCount() const;
  // The 265 bytes of sequence N; empty when N >= SequenceCount().
  std::string_view Sequence(size_t N) const;

private:
  const uint8_t* data_;
  size_t len_;
  size_t segments_ = 0;     // entries walked
  size_t keysEnded_ = 0;    // keys whose last entry was walked
};
