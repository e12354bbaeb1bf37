#include "templates/batch_codec.h"

#include "platform/errors.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/packed_decimal.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <algorithm>

namespace {

constexpr int HoursBytes = 4;
constexpr int HoursDecimals = 2;
constexpr char LineLetters[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
constexpr uint16_t TrinPrefixLen = 4;

std::string BatchFileName(const char* Kind) { return Store.DataDir + "\\" + Kind + Startup.WSID + ".MD"; }

std::string BackupName(const char* Kind, int N) {
  return BatchBackupFolder() + "\\" + Kind + Startup.WSID + "." + IntToHex(N, 3);
}

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Text into its field of Rec; a longer text is refused, never cut.
void PutExact(std::string& Rec, TFamilyField F, std::string_view Text, const char* What) {
  if (Text.size() > F.Len)
    throw EConvertError("The " + std::string(What) + " '" + std::string(Text) + "' is longer than its " +
                        IntToStr(F.Len) + " characters.");
  PutField(Rec, F, Text);
}

void PutRight(std::string& Rec, TFamilyField F, std::string_view Text, const char* What) {
  PutExact(Rec, F, std::string(F.Len > Text.size() ? F.Len - Text.size() : 0, ' ') + std::string(Text), What);
}

}  // namespace

std::string TrinFileName() { return BatchFileName("TRIN"); }

std::string DescFileName() { return BatchFileName("DESC"); }

std::string TrinCloneFileName() { return Store.DataDir + "\\TRIN" + Startup.WSID + ".clo"; }

std::string BatchBackupFolder() { return Store.DataDir + "\\MDback"; }

std::string TrinBackupFileName(int N) { return BackupName("trin", N); }

std::string DescBackupFileName(int N) { return BackupName("DESC", N); }

std::string ExportedTrinName(const std::string& Folder) { return Folder + "\\TRIN" + Startup.WSID + ".MD"; }

std::string ExportedDescName(const std::string& Folder) { return Folder + "\\DESC" + Startup.WSID + ".MD"; }

std::string PartName(const std::string& ExportedName) { return ExportedName + ".part"; }

std::string BatchJournalFileName() { return Store.DataDir + "\\Batch" + Startup.WSID + ".jnl"; }

std::string BatchLockFileName() { return Store.DataDir + "\\Batch" + Startup.WSID + ".lck"; }

std::string PackHours(std::string_view Hours) {
  const std::string text = Trim(Hours);
  const size_t point = text.find('.');
  const std::string whole = text.substr(0, point);
  std::string decimals = point == std::string::npos ? "" : text.substr(point + 1);
  const auto digitsOnly = [](const std::string& s) { return std::all_of(s.begin(), s.end(), IsDigit); };
  if ((whole.empty() && decimals.empty()) || !digitsOnly(whole) || !digitsOnly(decimals))
    throw EConvertError("'" + std::string(Hours) + "' is not a number of hours.");
  decimals = (decimals + "00").substr(0, HoursDecimals);
  std::string digits = whole + decimals;
  digits.erase(0, std::min(digits.find_first_not_of('0'), digits.size() - 1));
  if (digits.size() > size_t(2 * HoursBytes - 1))
    throw EConvertError("'" + std::string(Hours) + "' is too many hours.");
  return PackDecimal(std::stoll(digits), HoursBytes);
}

std::string PackedHoursToText(std::string_view Packed) {
  std::string text(Packed);
  DecimalToStr(text, HoursDecimals);
  if (Trim(text) == ".00") text = Format("%12s", "0.00");
  return text;
}

int64_t PackedHoursToHundredths(std::string_view Packed) {
  std::string text(Packed);
  DecimalToStr(text, HoursDecimals);
  text = Trim(text);
  const bool negative = !text.empty() && text[0] == '-';
  int64_t units = 0;
  for (char c : text)
    if (IsDigit(c)) units = units * 10 + (c - '0');
  return negative ? -units : units;
}

std::string FormatBatchLink(int Link) { return Format("%8s", IntToStr(Link)); }

int ParseBatchLink(std::string_view Text) { return StrToIntDef(Trim(Text), 0); }

std::string FormatTrinRecord(const TBatchEntryFields& Entry, int Link) {
  if (Entry.FileDate.size() != TrinField::Date.Len || !std::all_of(Entry.FileDate.begin(), Entry.FileDate.end(), IsDigit))
    throw EConvertError("'" + Entry.FileDate + "' is no file date.");
  const std::string hours = PackHours(Entry.Hours);
  std::string rec(TrinRecLen, ' ');
  PutExact(rec, TrinField::Client, Entry.Client, "client code");
  PutRight(rec, TrinField::CaseSuffix, Entry.CaseSuffix, "case suffix");
  PutField(rec, TrinField::Flag, "F");
  PutField(rec, TrinField::Date, Entry.FileDate);
  PutField(rec, TrinField::DateAgain, Entry.FileDate);
  PutExact(rec, TrinField::Group, Entry.Group, "grouping code");
  PutExact(rec, TrinField::Employee, Entry.Employee, "employee code");
  PutField(rec, TrinField::Hours, hours);
  PutField(rec, TrinField::PackedZero, PackDecimal(0, TrinField::PackedZero.Len));
  PutField(rec, TrinField::EmployeeAgain, Entry.Employee);
  PutField(rec, TrinField::HoursAgain, hours);
  const std::string zero6 = PackDecimal(0, 6);
  std::string zeros;
  for (int i = 0; i < 7; ++i) zeros += zero6;
  PutField(rec, TrinField::PackedZeros, zeros);
  PutExact(rec, TrinField::Link, FormatBatchLink(Link), "link");
  PutField(rec, TrinField::ClosingZero, PackDecimal(0, TrinField::ClosingZero.Len));
  PutField(rec, TrinField::Pluses, "+++++++");
  return rec.substr(TrinPrefixLen);
}

std::vector<std::string> FormatDescLines(int Link, std::string_view Description) {
  std::vector<std::string> lines;
  const std::string link = FormatBatchLink(Link);
  for (size_t at = 0; at < Description.size() && lines.size() < size_t(MaxDescLines); at += DescPieceLen) {
    const std::string piece(Description.substr(at, DescPieceLen));
    lines.push_back(link + LineLetters[lines.size()] + piece + std::string(DescPieceLen - piece.size(), ' '));
  }
  return lines;
}

std::string DescFirstLineKey(std::string_view LinkText) { return std::string(LinkText) + " "; }

std::string DescLinkOf(std::string_view DescRecord) {
  return FieldText(DescRecord, TFamilyField{DescLinkPos, DescLinkLen});
}

std::string DescPieceOf(std::string_view DescRecord) {
  return FieldText(DescRecord, TFamilyField{uint16_t(DescLinkPos + DescKeyLen), uint16_t(DescPieceLen)});
}

std::string JoinDescPieces(const std::vector<std::string>& Pieces) {
  std::string joined;
  for (const std::string& piece : Pieces) joined += piece;
  if (Pieces.empty()) return joined;
  // Blanks only: a line break that ends the text stays.
  const std::string& last = Pieces.back();
  joined.erase(joined.size() - last.size() + (last.find_last_not_of(' ') + 1));
  return joined;
}
