// The workstation's batch: two record-manager files in the data folder,
// named after the workstation id as it stands (no padding: "TRIN7.MD"),
// "TRIN<WSID>.MD" with one time record per entry and "DESC<WSID>.MD" with
// the entry's description lines, tied to it by the link number. Positions
// are 1-based and count the 4-byte prefix every record begins with.
//
// TRIN, record length 127:
//   1-4      auto-increment prefix
//   5-11     client code, left-justified
//   12-18    case suffix, right-justified
//   19       "F"
//   20-25    the entry's date, product file date YYMMDD
//   26       blank
//   27-32    the same date again
//   33       blank
//   34-39    grouping code, left-justified
//   40-43    employee code, left-justified
//   44-47    hours, packed decimal
//   48-53    packed zero (00 00 00 00 00 0F)
//   54-57    employee code again
//   58-61    hours again, packed
//   62-103   seven packed zeros of 6 bytes
//   104-111  link number, right-justified decimal
//   112-116  blanks
//   117-120  packed zero (00 00 00 0F)
//   121-127  "+++++++"
// Its keys (segments by position/length; duplicates allowed and modifiable
// unless said):
//   0  1/4, auto-increment, unique, not modifiable
//   1  104/8, the link, unique, not modifiable
//   2  40/4 then 117/4
//   3  117/4 then 40/4
//   4  19/1, 26/1, 40/4, 20/6
//
// DESC, record length 91, up to 36 lines an entry:
//   1-4      prefix
//   5-12     link number, as in TRIN
//   13       line letter, "0".."9" then "A".."Z" in order
//   14-91    up to 78 characters of the description, left-justified
// Its one key, key 0, is positions 5-13, the link and the letter as one
// string segment, unique and not modifiable, so an entry's lines come back
// in order. The file is made by copying the program folder's empty
// "Desc.clo", which make-desc-clo writes from this layout.
#pragma once

#include "templates/family_files.h"
#include "templates/key_segments.h"

#include <array>
#include <cstdint>
#include <string>

constexpr uint16_t TrinRecLen = 127;

// TRIN is a record of the family's own layout: its fields as the family's
// files name theirs.
namespace TrinField {
constexpr TFamilyField Client{5, 7};
constexpr TFamilyField CaseSuffix{12, 7};
constexpr TFamilyField Flag{19, 1};
constexpr TFamilyField Date{20, 6};
constexpr TFamilyField BlankAfterDate{26, 1};
constexpr TFamilyField DateAgain{27, 6};
constexpr TFamilyField BlankAfterDateAgain{33, 1};
constexpr TFamilyField Group{34, 6};
constexpr TFamilyField Employee{40, 4};
constexpr TFamilyField Hours{44, 4};
constexpr TFamilyField PackedZero{48, 6};
constexpr TFamilyField EmployeeAgain{54, 4};
constexpr TFamilyField HoursAgain{58, 4};
constexpr TFamilyField PackedZeros{62, 42};
constexpr TFamilyField Link{104, 8};
constexpr TFamilyField Blanks{112, 5};
constexpr TFamilyField ClosingZero{117, 4};
constexpr TFamilyField Pluses{121, 7};
}  // namespace TrinField

// One segment of a TRIN key that allows duplicates and changes.
constexpr TKeySegment TrinSegment(uint8_t KeyNo, uint8_t SegNo, TFamilyField Field) {
  return {KeyNo, SegNo, Field.Pos, Field.Len, true, true, false};
}

inline constexpr std::array<TKeySegment, 10> TrinKeySpecs = {{
    PrefixKeySegment,
    {1, 0, TrinField::Link.Pos, TrinField::Link.Len, false, false, false},
    TrinSegment(2, 0, TrinField::Employee),
    TrinSegment(2, 1, TrinField::ClosingZero),
    TrinSegment(3, 0, TrinField::ClosingZero),
    TrinSegment(3, 1, TrinField::Employee),
    TrinSegment(4, 0, TrinField::Flag),
    TrinSegment(4, 1, TrinField::BlankAfterDate),
    TrinSegment(4, 2, TrinField::Employee),
    TrinSegment(4, 3, TrinField::Date),
}};

constexpr uint16_t DescRecLen = 91;
constexpr uint16_t DescLinkPos = 5;
constexpr uint16_t DescLinkLen = TrinField::Link.Len;
constexpr uint16_t DescLetterLen = 1;
constexpr uint16_t DescKeyLen = DescLinkLen + DescLetterLen;

// "<DataDir>\TRIN<WSID>.MD" and "<DataDir>\DESC<WSID>.MD" of this run.
std::string TrinFileName();
std::string DescFileName();
