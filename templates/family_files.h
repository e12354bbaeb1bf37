// The product family's validation files: nine record-manager files in the
// family's data folder that this program only reads (the sample office
// writes them). Their layouts, keys and key texts, once.
//
// Positions are 1-based and count the 4-byte prefix: client code 5-11 is
// bytes 4-10 of the record as read. Text is Windows-1252, blank-padded to
// its width; bytes no field covers are zero. Amounts and percentages are
// packed decimals with 2 decimals (templates/packed_decimal.h); dates are
// file dates "YYMMDD", blank when unset (templates/product_dates.h).
//
// Every file has key 0, the prefix 1-4. Further keys (dup: duplicates, ci:
// case-insensitive); a key text for Get Equal is exactly its key's length:
//   "yclient.qf"  393  1 code 5-11 ("%-7s")
//                      2 office 368-369 dup
//                      3 second name part 48-87 + first part 18-47 dup ci
//   "ycase.qf"    439  1 client 5-11 + suffix 12-18 ("%-7s%7s")
//                      2 suffix 12-18 dup ("%7s")
//                      3 alternate id 19-38 dup ("%-20s")
//                      4 client 5-11 + suffix 123-129 ("%-7s%-7s")
//                      5 suffix 123-129 dup ("%-7s")
//                      6 suffix 12-18 + client 5-11 dup
//   "yempl.qf"     74  1 code 5-8 ("%-4s")
//                      2 department 47-48 dup
//                      3 second name part 27-46 + first part 12-26 dup ci
//   "FSplit.qf"    40  1 dummy case 5-18 dup; 2 case 19-25 dup
//   "CDesc.qf"     70  1 case 5-11 + line 12-13 dup (CaseDescKey)
//   "yTable.qf"   144  1 type, kind, code 5-10 dup; 2 code 7-10 dup
//                      3 type 5, kind 6, code 7-10 dup ci (CodeTableKey)
//                      4 type 5 dup; 5 code 7-10 + type, kind 5-6 dup ci
//   "CaseAddr.qf" 359  1 kind 5 + client 6-12 + suffix 13-19 (CaseAddrKey)
//   "Sysop.qc"    504  key 0 only; one record
//   "tsc.qc"     2404  1 bill format 5-7 + "1" at 8 (StatementCharKey)
//
// The case suffix is stored twice: right-justified at 12-18 (keys 1, 2, 6;
// numeric order) and left-justified at 123-129 (keys 4, 5), which is the
// form the fee splits and description lines carry as their case.
//
// Code table types at 5: "G" grouping code (kind "F" or "X" at 6, 2
// characters at 7), "N" narrative (kind blank, 3 characters), "1" to "7"
// the tables the lookup catalogue translates through (kind blank, 2
// characters): 1 office, 2 client type, 3 department, 4 case type, 5
// statement message, 6 employee department, 7 employee class.
#pragma once

#include "btrieve/create_file.h"
#include "btrieve/numbered_files.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// A fixed-width field: 1-based position counting the prefix, width in bytes.
struct TFamilyField {
  uint16_t Pos = 0;
  uint16_t Len = 0;
};

struct TFamilyFile {
  std::string_view Name;  // as the family spells it in its data folder
  uint16_t RecLen = 0;
  std::span<const TKeySpec> Keys;  // segments in order, key 0 first
};

namespace ClientFld {
constexpr TFamilyField Code{5, 7};
constexpr TFamilyField Name{18, 70};       // the two parts together
constexpr TFamilyField FirstName{18, 30};  // blank for a company
constexpr TFamilyField LastName{48, 40};   // the company's name for a company
constexpr TFamilyField SecondNameLine{88, 60};
constexpr TFamilyField Address1{148, 60};
constexpr TFamilyField Address2{208, 60};
constexpr TFamilyField City{268, 30};
constexpr TFamilyField StateZipCountry{298, 30};
constexpr TFamilyField Phone1{328, 20};
constexpr TFamilyField Phone2{348, 20};
constexpr TFamilyField Office{368, 2};
constexpr TFamilyField CoordAtty{370, 4};
constexpr TFamilyField ClientType1{374, 2};
constexpr TFamilyField ClientType2{376, 2};
constexpr TFamilyField BillingRate{378, 2};
constexpr TFamilyField Unnamed380{380, 1};
constexpr TFamilyField FinanceCharge{381, 1};
constexpr TFamilyField AltBillFormat{382, 3};
constexpr TFamilyField DefaultThreshold{391, 3};  // packed
}  // namespace ClientFld

namespace CaseFld {
constexpr TFamilyField Client{5, 7};
constexpr TFamilyField Suffix{12, 7};  // right-justified
constexpr TFamilyField AltId{19, 20};
constexpr TFamilyField AltBillFormat{39, 3};
constexpr TFamilyField Description{42, 50};
constexpr TFamilyField RespAtty1{92, 4};
constexpr TFamilyField RespAtty2{96, 4};
constexpr TFamilyField RespAtty3{100, 4};
constexpr TFamilyField Department{104, 2};
constexpr TFamilyField CaseType1{106, 2};
constexpr TFamilyField CaseType2{108, 2};
constexpr TFamilyField CaseType3{110, 2};
constexpr TFamilyField Unnamed112{112, 1};
constexpr TFamilyField FinanceSwitch{113, 1};
constexpr TFamilyField StatementMsg{114, 2};
constexpr TFamilyField FeeCycle{116, 1};
constexpr TFamilyField CostCycle{117, 1};
constexpr TFamilyField BillStatus1{118, 1};
constexpr TFamilyField BillStatus2{119, 1};
// The two share position 121 as the family describes them.
constexpr TFamilyField BillRate{120, 2};
constexpr TFamilyField RetainerTrans{121, 2};
constexpr TFamilyField SuffixLeft{123, 7};  // left-justified
constexpr TFamilyField Threshold{144, 3};   // packed
constexpr TFamilyField FeeBudget{147, 6};   // packed
constexpr TFamilyField CostBudget{153, 6};  // packed
constexpr TFamilyField RetainerMin{159, 4};  // packed
constexpr TFamilyField Opened{163, 6};       // file dates
constexpr TFamilyField LastPosting{169, 6};
constexpr TFamilyField LastPayment{175, 6};
constexpr TFamilyField Closed{181, 6};
}  // namespace CaseFld

namespace EmpFld {
constexpr TFamilyField Code{5, 4};
constexpr TFamilyField Name{12, 35};
constexpr TFamilyField FirstName{12, 15};
constexpr TFamilyField LastName{27, 20};
constexpr TFamilyField Department{47, 2};
constexpr TFamilyField Class{49, 2};
}  // namespace EmpFld

namespace FSplitFld {
constexpr TFamilyField DummyCase{5, 14};
constexpr TFamilyField Case{19, 7};     // as the case's left-justified suffix
constexpr TFamilyField FeePct{33, 4};   // packed
constexpr TFamilyField CostPct{37, 4};  // packed
}  // namespace FSplitFld

namespace CDescFld {
constexpr TFamilyField Case{5, 7};  // as the case's left-justified suffix
constexpr TFamilyField Line{12, 2};  // "%2d", 2 to 20
constexpr TFamilyField Text{21, 50};
}  // namespace CDescFld

namespace CodeTableFld {
constexpr TFamilyField Type{5, 1};
constexpr TFamilyField Kind{6, 1};
constexpr TFamilyField Code{7, 4};
constexpr TFamilyField Description{12, 120};
}  // namespace CodeTableFld

namespace CaseAddrFld {
constexpr TFamilyField Kind{5, 1};  // "S" or "X"
constexpr TFamilyField Client{6, 7};
constexpr TFamilyField Suffix{13, 7};  // right-justified
constexpr int LineCount = 5;
// Address line N, 1 to LineCount.
constexpr TFamilyField Line(int N) { return {uint16_t(20 + 60 * (N - 1)), 60}; }
}  // namespace CaseAddrFld

namespace SysopFld {
constexpr TFamilyField TimeIncrement{35, 1};  // a digit
constexpr TFamilyField AltIdUpperCase{49, 1};  // "Y"
constexpr TFamilyField GroupCodeRule{61, 1};
}  // namespace SysopFld

namespace TscFld {
constexpr TFamilyField BillFormat{5, 3};
constexpr TFamilyField Marker{8, 1};  // "1"
constexpr int CaptionCount = 20;
// The caption of case description line N, 1 to CaptionCount.
constexpr TFamilyField Caption(int N) { return {uint16_t(1826 + 25 * N), 25}; }
}  // namespace TscFld

// The widths of the name parts that JoinNameParts joins.
constexpr int ClientNamePart1 = 30, ClientNamePart2 = 40;
constexpr int EmpNamePart1 = 15, EmpNamePart2 = 20;

extern const TFamilyFile ClientFile;
extern const TFamilyFile CaseFile;
extern const TFamilyFile EmployeeFile;
extern const TFamilyFile FeeSplitFile;
extern const TFamilyFile CaseDescFile;
extern const TFamilyFile CodeTableFile;
extern const TFamilyFile CaseAddrFile;
extern const TFamilyFile SysOptionsFile;
extern const TFamilyFile StatementCharFile;
// The nine, in the order above.
std::span<const TFamilyFile* const> FamilyFiles();

// Key texts.
std::string ClientKey(std::string_view Code);  // key 1
// Keys 1 (RightJustified) and 4.
std::string CaseKey(std::string_view Client, std::string_view Suffix, bool RightJustified);
std::string EmployeeKey(std::string_view Code);  // key 1
// Key 3 of the code table: type, kind, code "%-4s".
std::string CodeTableKey(char Type, char Kind, std::string_view Code);
// Key 1 of the description lines: the case's left-justified suffix, Line "%2d".
std::string CaseDescKey(std::string_view CaseSuffix, int Line);
// Key 1 of the case addresses: Kind "S" or "X", client, right-justified suffix.
std::string CaseAddrKey(char Kind, std::string_view Client, std::string_view Suffix);
// Key 1 of the statement characteristics: a case's bill format ("###" when
// blank) and "1".
std::string StatementCharKey(std::string_view BillFormat);

// The bytes of F in Rec, as far as Rec holds them.
std::string FieldText(const TDynCharArr& Rec, TFamilyField F);
std::string FieldText(std::string_view Rec, TFamilyField F);

// A record of File as the sample office writes it: RecLen zero bytes,
// prefix included.
std::string NewFamilyRecord(const TFamilyFile& File);
// Text blank-padded or cut to F's width. REQUIRES: F lies within Rec.
void PutField(std::string& Rec, TFamilyField F, std::string_view Text);

// S := B + ", " + A with A the trimmed bytes 1..Len1 and B the trimmed next
// Len2 bytes; A when B is empty; the untrimmed B part when A is empty.
void JoinNameParts(std::string& S, int Len1, int Len2);
