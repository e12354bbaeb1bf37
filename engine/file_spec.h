// A file's specification and the Create/Stat buffer codec.
//
// Buffer layout (16-bit and 32-bit numbers least-significant byte first):
//   header, 16 bytes:
//     0-1   record length
//     2-3   page size
//     4-5   number of keys
//     6-9   number of records (Stat answers it; Create ignores 6-15)
//     10-15 0 in a Stat answer
//   then one 16-byte entry per key segment, the keys in order, the segments
//   of one key chained by flag 16 on every segment but its last:
//     0-1   position in the record, 1-based
//     2-3   length
//     4-5   flags (key_flag in engine/status.h)
//     6-9   0 in a Stat answer
//     10    extended key type (read only with flag 256; else a string)
//     11-14 kept as given
//     15    number of the collating sequence (with flag 32)
//   then one 265-byte collating sequence per number used (0 up to the
//   highest): a 9-byte header (signature and name), then the 256-byte table
//   giving each byte its weight.
//
// A create buffer may be longer than what its keys need (a whole 1920-byte
// Stat answer clones a file); the rest is ignored. Decoding normalises the
// buffer into Layout, which is what the file stores and what Stat gives back
// with the record count filled in, so a file cloned from its own Stat answer
// reports the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace engine {

struct SegmentSpec {
  uint16_t Position = 0;  // 1-based
  uint16_t Length = 0;
  uint16_t Flags = 0;
  uint8_t Type = 0;      // key_type; String without the extended-type flag
  uint8_t Sequence = 0;  // collating sequence, when Flags has AlternateCollating
};

struct KeySpec {
  std::vector<SegmentSpec> Segments;
  uint16_t Length = 0;  // all segments together, at most 255
  bool Duplicates = false;
  bool Modifiable = false;
  bool AutoIncrement = false;  // a single segment of type AutoIncrement
};

struct FileSpec {
  uint16_t RecordLength = 0;
  uint16_t PageSize = 0;
  std::vector<KeySpec> Keys;
  std::vector<std::string> Sequences;  // CollatingSequenceSize bytes each
  std::string Layout;                  // the Stat answer with a zero record count
};

// At most as many segments as a 1920-byte Stat answer holds.
inline constexpr size_t MaxSegments = 119;

// Reads a create buffer of `size` bytes into spec. Answers 0, or the status
// that refuses it: 22 when the buffer ends before its keys or sequences do,
// 26 too many keys or segments, 27 a segment outside the record, 28 a zero
// record length, 29 a bad key length or type.
int16_t DecodeCreateBuffer(const uint8_t* bytes, size_t size, FileSpec& spec);

// The Stat answer: Layout with the record count in bytes 6-9.
std::string EncodeStatBuffer(const FileSpec& spec, uint32_t recordCount);

// Little-endian helpers shared by the codecs.
inline uint16_t DecodeFixed16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
inline uint32_t DecodeFixed32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void EncodeFixed16(uint8_t* p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void EncodeFixed32(uint8_t* p, uint32_t v) {
  for (int i = 0; i < 4; ++i) p[i] = uint8_t(v >> (8 * i));
}

}  // namespace engine
