// A key segment as the store declares the keys of the files it creates:
// the same members, in the same order, as the file-creation layer's key
// specification, so that a table of these becomes a table of those.
#pragma once

#include <cstdint>

struct TKeySegment {
  uint8_t KeyNo;       // segments with the same KeyNo form one key, in order
  uint8_t SegNo;
  uint16_t Position;   // 1-based record position; the prefix is 1-4
  uint16_t Length;
  bool Duplicates;
  bool Modifiable;
  bool AutoInc;        // key 0 only: the 4-byte prefix
};

// Key 0 of every file the store makes: the auto-increment prefix.
constexpr TKeySegment PrefixKeySegment{0, 0, 1, 4, false, false, true};
