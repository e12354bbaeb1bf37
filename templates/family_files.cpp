#include "templates/family_files.h"

#include "platform/format.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace {

constexpr TKeySpec Prefix{0, 0, 1, 4, false, false, true};

// One key segment; later segments of a key take its first segment's flags.
constexpr TKeySpec Seg(uint8_t Key, TFamilyField F, bool Dup = false, bool CaseInsensitive = false) {
  return {Key, 0, F.Pos, F.Len, Dup, true, false, CaseInsensitive};
}
constexpr TFamilyField Span(uint16_t From, uint16_t To) { return {From, uint16_t(To - From + 1)}; }

constexpr TKeySpec ClientKeys[] = {
    Prefix,
    Seg(1, ClientFld::Code),
    Seg(2, ClientFld::Office, true),
    Seg(3, ClientFld::LastName, true, true),
    Seg(3, ClientFld::FirstName, true, true),
};

constexpr TKeySpec CaseKeys[] = {
    Prefix,
    Seg(1, CaseFld::Client),
    Seg(1, CaseFld::Suffix),
    Seg(2, CaseFld::Suffix, true),
    Seg(3, CaseFld::AltId, true),
    Seg(4, CaseFld::Client),
    Seg(4, CaseFld::SuffixLeft),
    Seg(5, CaseFld::SuffixLeft, true),
    Seg(6, CaseFld::Suffix, true),
    Seg(6, CaseFld::Client, true),
};

constexpr TKeySpec EmployeeKeys[] = {
    Prefix,
    Seg(1, EmpFld::Code),
    Seg(2, EmpFld::Department, true),
    Seg(3, EmpFld::LastName, true, true),
    Seg(3, EmpFld::FirstName, true, true),
};

constexpr TKeySpec FeeSplitKeys[] = {
    Prefix,
    Seg(1, FSplitFld::DummyCase, true),
    Seg(2, FSplitFld::Case, true),
};

constexpr TKeySpec CaseDescKeys[] = {
    Prefix,
    Seg(1, CDescFld::Case, true),
    Seg(1, CDescFld::Line, true),
};

constexpr TKeySpec CodeTableKeys[] = {
    Prefix,
    Seg(1, Span(5, 10), true),
    Seg(2, CodeTableFld::Code, true),
    Seg(3, Span(5, 10), true, true),
    Seg(4, CodeTableFld::Type, true),
    Seg(5, CodeTableFld::Code, true, true),
    Seg(5, Span(5, 6), true, true),
};

constexpr TKeySpec CaseAddrKeys[] = {
    Prefix,
    Seg(1, Span(5, 19)),
};

constexpr TKeySpec SysOptionsKeys[] = {Prefix};

constexpr TKeySpec StatementCharKeys[] = {
    Prefix,
    Seg(1, Span(5, 8)),
};

}  // namespace

const TFamilyFile ClientFile{"yclient.qf", 393, ClientKeys};
const TFamilyFile CaseFile{"ycase.qf", 439, CaseKeys};
const TFamilyFile EmployeeFile{"yempl.qf", 74, EmployeeKeys};
const TFamilyFile FeeSplitFile{"FSplit.qf", 40, FeeSplitKeys};
const TFamilyFile CaseDescFile{"CDesc.qf", 70, CaseDescKeys};
const TFamilyFile CodeTableFile{"yTable.qf", 144, CodeTableKeys};
const TFamilyFile CaseAddrFile{"CaseAddr.qf", 359, CaseAddrKeys};
const TFamilyFile SysOptionsFile{"Sysop.qc", 504, SysOptionsKeys};
const TFamilyFile StatementCharFile{"tsc.qc", 2404, StatementCharKeys};

std::span<const TFamilyFile* const> FamilyFiles() {
  static const std::array<const TFamilyFile*, 9> all{&ClientFile,   &CaseFile,     &EmployeeFile,
                                                     &FeeSplitFile, &CaseDescFile, &CodeTableFile,
                                                     &CaseAddrFile, &SysOptionsFile, &StatementCharFile};
  return all;
}

std::string ClientKey(std::string_view Code) { return Format("%-7s", Code); }

std::string CaseKey(std::string_view Client, std::string_view Suffix, bool RightJustified) {
  return Format(RightJustified ? "%-7s%7s" : "%-7s%-7s", Client, Suffix);
}

std::string EmployeeKey(std::string_view Code) { return Format("%-4s", Code); }

std::string CodeTableKey(char Type, char Kind, std::string_view Code) {
  return Format("%s%s%-4s", Type, Kind, Code);
}

std::string CaseDescKey(std::string_view CaseSuffix, int Line) { return Format("%-7s%2d", CaseSuffix, Line); }

std::string CaseAddrKey(char Kind, std::string_view Client, std::string_view Suffix) {
  return Format("%s%-7s%7s", Kind, Client, Suffix);
}

std::string StatementCharKey(std::string_view BillFormat) {
  return (Trim(BillFormat).empty() ? std::string("###") : Format("%-3s", BillFormat)) + "1";
}

std::string FieldText(std::string_view Rec, TFamilyField F) { return Copy(Rec, F.Pos, F.Len); }

std::string FieldText(const TDynCharArr& Rec, TFamilyField F) {
  return FieldText(std::string_view(reinterpret_cast<const char*>(Rec.data()), Rec.size()), F);
}

std::string NewFamilyRecord(const TFamilyFile& File) { return std::string(File.RecLen, '\0'); }

void PutField(std::string& Rec, TFamilyField F, std::string_view Text) {
  if (F.Pos < 1 || size_t(F.Pos) + F.Len - 1 > Rec.size()) throw std::out_of_range("field outside the record");
  const std::string text = Format("%-*.*s", int(F.Len), int(F.Len), Text);
  Rec.replace(size_t(F.Pos - 1), F.Len, text);
}

void JoinNameParts(std::string& S, int Len1, int Len2) {
  const std::string a = Trim(Copy(S, 1, Len1));
  const std::string part2 = Copy(S, int64_t(std::max(Len1, 0)) + 1, Len2);
  const std::string b = Trim(part2);
  if (a.empty())
    S = part2;
  else if (b.empty())
    S = a;
  else
    S = b + ", " + a;
}
