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
//
// Hours are packed as 7 digits, hundredths, in 4 bytes (12.5 hours are
// 00 01 25 0F); the link is the entry's number "%8s" ("       1").
// A description is its Windows-1252 bytes as they stand (line breaks CR LF
// included) cut into pieces of 78 bytes; the writer keeps 36 at most.
//
// Every other name of the batch is built here too: the empty clone
// "TRIN<WSID>.clo" beside the batch, the backups "MDback\trin<WSID>.<n>"
// and "MDback\DESC<WSID>.<n>" (n three upper-case hex digits, 001-FFF),
// the export's "<name>.part" copies, the journal "Batch<WSID>.jnl" and the
// lock file "Batch<WSID>.lck".
#pragma once

#include "templates/family_files.h"
#include "templates/key_segments.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

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

// "<DataDir>\TRIN<WSID>.clo": the empty clone that becomes the new TRIN.
std::string TrinCloneFileName();
// "<DataDir>\MDback".
std::string BatchBackupFolder();
// The backup pair's names for number N (1..MaxBatchBackup).
std::string TrinBackupFileName(int N);
std::string DescBackupFileName(int N);
constexpr int MaxBatchBackup = 0xFFF;
// "<Folder>\TRIN<WSID>.MD" and "<Folder>\DESC<WSID>.MD" in an export folder,
// and the names they are copied under before the export commits.
std::string ExportedTrinName(const std::string& Folder);
std::string ExportedDescName(const std::string& Folder);
std::string PartName(const std::string& ExportedName);
// "<DataDir>\Batch<WSID>.jnl" and "<DataDir>\Batch<WSID>.lck".
std::string BatchJournalFileName();
std::string BatchLockFileName();

// The entry as the batch stores it: texts as typed (trimmed by the screen),
// the date as a product file date "YYMMDD", hours as their text.
struct TBatchEntryFields {
  std::string Client, CaseSuffix, FileDate, Group, Employee, Hours;
};

// Hours text to its 4 packed bytes: trimmed, integer digits and up to two
// decimals (more are cut), so "5." is 5.00 and ".5" is 0.50. Raises
// EConvertError for any other character (a sign too), no digit at all, or
// more than 7 digits.
std::string PackHours(std::string_view Hours);
// The 4 packed bytes as the viewer shows them: DecimalToStr with 2
// decimals (leading zeros gone, ".50"), zero as "0.00", right-aligned in 12.
std::string PackedHoursToText(std::string_view Packed);
// The packed hours in hundredths (a negative sign nibble counts).
int64_t PackedHoursToHundredths(std::string_view Packed);

std::string FormatBatchLink(int Link);
// The link's number; 0 when Text holds none.
int ParseBatchLink(std::string_view Text);

// The TRIN record without its prefix (123 bytes). Raises EConvertError
// when a value is longer than its field (nothing is cut or shifted) or the
// hours do not pack.
std::string FormatTrinRecord(const TBatchEntryFields& Entry, int Link);
// The DESC records without their prefix (87 bytes each), one per started
// 78-byte piece, 36 at most; none for an empty description.
std::vector<std::string> FormatDescLines(int Link, std::string_view Description);
constexpr int MaxDescLines = 36;
constexpr size_t DescPieceLen = 78;
// The key of Get Greater or Equal for an entry's first line: link + blank.
std::string DescFirstLineKey(std::string_view LinkText);
// The link a DESC record (prefix included) belongs to, and its text piece.
std::string DescLinkOf(std::string_view DescRecord);
std::string DescPieceOf(std::string_view DescRecord);
// The pieces of one entry joined, only the last one's trailing blanks cut.
std::string JoinDescPieces(const std::vector<std::string>& Pieces);
