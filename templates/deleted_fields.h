// DeletedFlds: one 13-character entry per field deleted in the designer,
// formatted "%-4s %-3s %3s*" of the field's Offset, Width and FldId:
//   1-4   Offset, left-aligned
//   5     blank
//   6-8   Width, left-aligned
//   9     blank
//   10-12 FldId, right-aligned
//   13    "*"
// Readers take each number trimmed. The builder and the integrity checks
// read the list only through this codec.
#pragma once

#include <string>
#include <string_view>
#include <vector>

constexpr int DeletedFldLength = 13;

struct TDeletedFld {
  int Offset = 0;
  int Width = 0;
  int FldId = 0;

  bool operator==(const TDeletedFld&) const = default;
};

// One entry. A negative value, or one wider than its column, would break the
// 13-character rhythm of the list: EConvertError naming it.
std::string FormatDeletedFld(const TDeletedFld& Fld);

// Every entry of the list, in order. A length that is no multiple of 13, or
// a column that holds no number, raises EConvertError.
std::vector<TDeletedFld> ParseDeletedFlds(std::string_view Text);
