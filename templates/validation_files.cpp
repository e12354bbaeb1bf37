#include "templates/validation_files.h"

#include "platform/text.h"
#include "templates/family_files.h"

#include <algorithm>
#include <exception>
#include <utility>

TDynCharArr ClientRec;
TDynCharArr CaseRec;
TDynCharArr EmpRec;
TDynCharArr CodeTableRec;
TDynCharArr FSplitRec;
TDynCharArr CDescRec;
TDynCharArr CaseAddrRec;
TDynCharArr SysopRec;
TDynCharArr TscRec;

TFamilyLookup FamilyLookup;

void ResetValidationBuffers() {
  for (TDynCharArr* rec :
       {&ClientRec, &CaseRec, &EmpRec, &CodeTableRec, &FSplitRec, &CDescRec, &CaseAddrRec, &SysopRec, &TscRec})
    TDynCharArr().swap(*rec);
}

void TFamilyLookup::Reset() { *this = TFamilyLookup(); }

// ---- openers ----

namespace {

constexpr int8_t KeyAsOpened = -1;

void OpenFamilyFile(uint8_t FileNo, const TFamilyFile& File, int8_t KeyNo, TDynCharArr& Rec,
                    const std::string& FailureText) {
  bool opened = false;
  try {
    if (!BtrIsFileOpen(FileNo)) {
      BtrOpenFile(FileNo, Store.DataRoot + "\\" + std::string(File.Name), 0);
      opened = true;
      if (KeyNo != KeyAsOpened) BtrSetKeyNumber(FileNo, KeyNo);
    }
    // A buffer that holds a record keeps it; a longer record than the
    // family's still fits.
    const size_t size = std::max<size_t>(File.RecLen, BtrRecordLength(FileNo));
    if (Rec.size() < size) Rec.resize(size, 0);
  } catch (const EAbort& e) {
    if (opened) {
      // The opener's own failure is what the caller reports.
      try {
        BtrCloseFile(FileNo);
      } catch (const EAbort&) {
      }
    }
    const auto* btr = dynamic_cast<const EBtrAbort*>(&e);
    throw EBtrAbort(FailureText, btr ? btr->Status : 0);
  }
}

}  // namespace

void OpenClientFile(uint8_t FileNo, TDynCharArr& Rec) {
  OpenFamilyFile(FileNo, ClientFile, 1, Rec, "Unable to open client file.");
}

void OpenCaseFile(uint8_t FileNo, TDynCharArr& Rec) {
  OpenFamilyFile(FileNo, CaseFile, KeyAsOpened, Rec, "Unable to open case file.");
}

void OpenEmployeeFile(uint8_t FileNo, TDynCharArr& Rec) {
  OpenFamilyFile(FileNo, EmployeeFile, 1, Rec, "Unable to open employee file.");
}

void OpenFeeSplitFile() {
  OpenFamilyFile(FeeSplitFileNo, FeeSplitFile, 2, FSplitRec, "Unable to open fee split file.");
}

void OpenCaseDescFile() {
  OpenFamilyFile(CaseDescFileNo, CaseDescFile, 1, CDescRec, "Unable to open case description file.");
}

void OpenYTableFile(uint8_t FileNo, TDynCharArr& Rec) {
  OpenFamilyFile(FileNo, CodeTableFile, 3, Rec, "Unable to open file YTable.qc.");
}

void OpenCaseAddrFile() {
  OpenFamilyFile(CaseAddrFileNo, CaseAddrFile, 1, CaseAddrRec, "Unable to open case address file.");
}

void OpenSysOptionsFile() {
  OpenFamilyFile(SysOptionsFileNo, SysOptionsFile, 0, SysopRec, "Unable to open System Options file.");
}

void OpenStatementCharFile() {
  OpenFamilyFile(StatementCharFileNo, StatementCharFile, 1, TscRec,
                 "Unable to open Statement Characteristics file.");
}

namespace {

struct THostFile {
  uint8_t FileNo;
  TDynCharArr* Rec;
  void (*Open)();
};

const THostFile& HostFile(int FileId) {
  static const TTable<THostFile, 1, HostFileId::Count, "host file"> files = [] {
    TTable<THostFile, 1, HostFileId::Count, "host file"> t;
    t[HostFileId::Client] = {ClientFileNo, &ClientRec, [] { OpenClientFile(ClientFileNo, ClientRec); }};
    t[HostFileId::Case] = {CaseFileNo, &CaseRec, [] { OpenCaseFile(CaseFileNo, CaseRec); }};
    t[HostFileId::Employee] = {EmpFileNo, &EmpRec, [] { OpenEmployeeFile(EmpFileNo, EmpRec); }};
    t[HostFileId::FeeSplit] = {FeeSplitFileNo, &FSplitRec, OpenFeeSplitFile};
    t[HostFileId::CaseDesc] = {CaseDescFileNo, &CDescRec, OpenCaseDescFile};
    t[HostFileId::CodeTable] = {CodeTableFileNo, &CodeTableRec,
                                [] { OpenYTableFile(CodeTableFileNo, CodeTableRec); }};
    t[HostFileId::CaseAddr] = {CaseAddrFileNo, &CaseAddrRec, OpenCaseAddrFile};
    return t;
  }();
  return files[FileId];
}

}  // namespace

uint8_t HostFileNo(int FileId) { return HostFile(FileId).FileNo; }
TDynCharArr& HostFileRec(int FileId) { return *HostFile(FileId).Rec; }
void OpenHostFile(int FileId) { HostFile(FileId).Open(); }

// ---- the catalogue ----

namespace {

using Kind = THostFieldKind;

struct TCatalogueRow {
  std::string Name;
  int File = 0;  // 0: the code defines nothing
  TFamilyField Value;
  int TransFile = 0;
  int TransPos = 0;
  int TransN = 0;
  Kind FieldKind = Kind::Text;
};

constexpr int CatalogueSize = MaxHostFldCode + 1;
constexpr int LastClientCode = 21;
constexpr int FirstDescLineCode = 80;  // line 1, the case's own description
constexpr uint16_t CodeTableText = CodeTableFld::Description.Pos;
constexpr uint16_t EmpNameText = EmpFld::Name.Pos;
constexpr int EmpNameWidth = EmpFld::Name.Len;

TCatalogueRow Client(std::string Name, TFamilyField Value, Kind K = Kind::Text) {
  return {std::move(Name), HostFileId::Client, Value, 0, 0, 0, K};
}
TCatalogueRow Case(std::string Name, TFamilyField Value, Kind K = Kind::Text) {
  return {std::move(Name), HostFileId::Case, Value, 0, 0, 0, K};
}
TCatalogueRow Emp(std::string Name, TFamilyField Value) {
  return {std::move(Name), HostFileId::Employee, Value};
}
// Value translated through file TransFile.
TCatalogueRow Through(TCatalogueRow Row, int TransFile, int TransPos, int TransN, Kind K = Kind::Text) {
  Row.TransFile = TransFile;
  Row.TransPos = TransPos;
  Row.TransN = TransN;
  Row.FieldKind = K;
  return Row;
}
TCatalogueRow CodeName(TCatalogueRow Row, int TableType) {
  return Through(Row, HostFileId::CodeTable, CodeTableText, TableType);
}
TCatalogueRow EmpName(TCatalogueRow Row) { return Through(Row, HostFileId::Employee, EmpNameText, EmpNameWidth); }

const std::array<TCatalogueRow, CatalogueSize>& Catalogue() {
  static const std::array<TCatalogueRow, CatalogueSize> rows = [] {
    namespace C = ClientFld;
    namespace K = CaseFld;
    std::array<TCatalogueRow, CatalogueSize> r{};
    r[0] = Client("Client code", C::Code);
    r[1] = Client("Client name", C::Name);
    r[2] = Client("Second name line", C::SecondNameLine);
    r[3] = Client("Address line 1", C::Address1);
    r[4] = Client("Address line 2", C::Address2);
    r[5] = Client("City", C::City);
    r[6] = Client("State/zip/country", C::StateZipCountry);
    r[7] = Client("Phone 1", C::Phone1);
    r[8] = Client("Phone 2", C::Phone2);
    r[9] = Client("Office code", C::Office);
    r[10] = CodeName(Client("Office name", C::Office), 1);
    r[11] = Client("Coordinating atty code", C::CoordAtty);
    r[12] = EmpName(Client("Coordinating atty name", C::CoordAtty));
    r[13] = Client("Client type 1 code", C::ClientType1);
    r[14] = CodeName(Client("Client type 1 desc", C::ClientType1), 2);
    r[15] = Client("Client type 2 code", C::ClientType2);
    r[16] = CodeName(Client("Client type 2 desc", C::ClientType2), 2);
    r[17] = Client("Billing rate code", C::BillingRate);
    r[18] = Client("", C::Unnamed380);
    r[19] = Client("Finance charge", C::FinanceCharge);
    r[20] = Client("Alt billing format code", C::AltBillFormat);
    r[21] = Client("Default threshold", C::DefaultThreshold, Kind::Packed);
    r[22] = Case("Case suffix", K::SuffixLeft);
    r[23] = Case("Case Alternate ID", K::AltId);
    r[24] = Case("Case alt bill format", K::AltBillFormat);
    r[25].Name = "Case description info...";
    r[26] = Case("Resp Atty 1 code", K::RespAtty1);
    r[27] = EmpName(Case("Resp Atty 1 name", K::RespAtty1));
    r[28] = Case("Resp Atty 2 code", K::RespAtty2);
    r[29] = EmpName(Case("Resp Atty 2 name", K::RespAtty2));
    r[30] = Case("Resp Atty 3 code", K::RespAtty3);
    r[31] = EmpName(Case("Resp Atty 3 name", K::RespAtty3));
    r[32] = Case("Department code", K::Department);
    r[33] = CodeName(Case("Department name", K::Department), 3);
    r[34] = Case("Case type 1 code", K::CaseType1);
    r[35] = CodeName(Case("Case type 1 desc", K::CaseType1), 4);
    r[36] = Case("Case type 2 code", K::CaseType2);
    r[37] = CodeName(Case("Case type 2 desc", K::CaseType2), 4);
    r[38] = Case("Case type 3 code", K::CaseType3);
    r[39] = CodeName(Case("Case type 3 desc", K::CaseType3), 4);
    r[40] = Case("", K::Unnamed112);
    r[41] = Case("Finance chg switch", K::FinanceSwitch);
    r[42] = Case("Statement msg code", K::StatementMsg);
    r[43] = CodeName(Case("Statement msg desc", K::StatementMsg), 5);
    r[44] = Case("Fee bill cycle code", K::FeeCycle);
    r[45] = Case("Cost bill cycle code", K::CostCycle);
    r[46] = Case("Case bill status 1", K::BillStatus1);
    r[47] = Case("Case bill status 2", K::BillStatus2);
    r[48] = Case("Case bill rate code", K::BillRate);
    r[49] = Case("Retainer trans code", K::RetainerTrans);
    r[50] = Case("Threshold $", K::Threshold, Kind::Packed);
    r[51] = Case("Fee budget $", K::FeeBudget, Kind::Packed);
    r[52] = Case("Cost budget $", K::CostBudget, Kind::Packed);
    r[53] = Case("Retainer minimum $", K::RetainerMin, Kind::Packed);
    r[54] = Case("Date case opened", K::Opened, Kind::FileDate);
    r[55] = Case("Date case closed", K::Closed, Kind::FileDate);
    r[56] = Case("Date last posting", K::LastPosting, Kind::FileDate);
    r[57] = Case("Date last payment", K::LastPayment, Kind::FileDate);
    r[59] = Through(Case("Dummy case code", K::SuffixLeft), HostFileId::FeeSplit, FSplitFld::DummyCase.Pos,
                    FSplitFld::DummyCase.Len);
    r[60] = Through(Case("Receptor case fee %", K::SuffixLeft), HostFileId::FeeSplit, FSplitFld::FeePct.Pos,
                    FSplitFld::FeePct.Len, Kind::Packed);
    r[61] = Through(Case("Receptor case cost %", K::SuffixLeft), HostFileId::FeeSplit, FSplitFld::CostPct.Pos,
                    FSplitFld::CostPct.Len, Kind::Packed);
    r[62] = Emp("Employee code", EmpFld::Code);
    r[63] = Emp("Employee name", EmpFld::Name);
    r[64] = Emp("Employee class code", EmpFld::Class);
    r[65] = CodeName(Emp("Employee class desc", EmpFld::Class), 7);
    r[66] = Emp("Employee dept code", EmpFld::Department);
    r[67] = CodeName(Emp("Employee dept name", EmpFld::Department), 6);
    r[FirstDescLineCode] = Case("Case description line 1", K::Description);
    // Lines 2-20 come from the description lines file, keyed by the case.
    for (int code = FirstDescLineCode + 1; code <= MaxHostFldCode; ++code) {
      const int line = code - FirstDescLineCode + 1;
      r[size_t(code)] = Through(Case("Case description line " + IntToStr(line), K::SuffixLeft),
                                HostFileId::CaseDesc, CDescFld::Text.Pos, line);
    }
    return r;
  }();
  return rows;
}

const TCatalogueRow* CatalogueRow(int Code) {
  if (Code < 0 || Code > MaxHostFldCode) return nullptr;
  const TCatalogueRow& row = Catalogue()[size_t(Code)];
  return row.File ? &row : nullptr;
}

}  // namespace

THostFldNames LookupCatalogueNames() {
  THostFldNames names;
  for (int code = 0; code <= MaxHostFldCode; ++code) names[code] = Catalogue()[size_t(code)].Name;
  return names;
}

bool LookupFieldEntry(int Code, TLkpColumn& Entry) {
  const TCatalogueRow* row = CatalogueRow(Code);
  if (!row) return false;
  const bool clientField = Code <= LastClientCode;
  if (FamilyLookup.ClientLookup && !clientField) return false;
  TLkpColumn entry{row->File, row->Value.Pos, row->Value.Len, row->TransFile, row->TransPos, row->TransN, 0, 0, 0};
  if (clientField && !FamilyLookup.ClientLookup) {
    // The case's client code first, then the client field through it.
    entry = {HostFileId::Case, CaseFld::Client.Pos, CaseFld::Client.Len, row->File, row->Value.Pos, row->Value.Len,
             row->TransFile, row->TransPos, row->TransN};
  }
  Entry = entry;
  return true;
}

THostFieldKind HostFieldKind(int Code) {
  const TCatalogueRow* row = CatalogueRow(Code);
  return row ? row->FieldKind : Kind::Text;
}

std::string HostTranslationKey(int FileId, std::string_view Value, int N) {
  switch (FileId) {
    case HostFileId::CaseDesc: return CaseDescKey(Value, N);
    case HostFileId::CodeTable: return CodeTableKey(N >= 0 && N <= 9 ? char('0' + N) : '?', ' ', Value);
    default: return std::string(Value);
  }
}

int HostTranslationWidth(int FileId, int N) {
  switch (FileId) {
    case HostFileId::CaseDesc: return CDescFld::Text.Len;
    case HostFileId::CodeTable: return CodeTableFld::Description.Len;
    default: return N;
  }
}

// ---- lookup state ----

namespace {

// CloseValidationFiles but for CaseKeyOption, which belongs to the template
// and outlives the lookup that ends here.
void CloseLookupFiles() {
  std::exception_ptr failure;
  for (uint8_t fileNo = ClientFileNo; fileNo <= CaseAddrFileNo; ++fileNo) {
    try {
      BtrCloseFile(fileNo);
    } catch (const EAbort&) {
      if (!failure) failure = std::current_exception();
    }
  }
  const bool caseKeyOption = FamilyLookup.CaseKeyOption;
  FamilyLookup.Reset();
  FamilyLookup.CaseKeyOption = caseKeyOption;
  for (int id = 1; id <= HostFileId::Count; ++id) HostFileRec(id).clear();
  TscRec.clear();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace

void CloseValidationFiles() {
  // Cleared first: a close that fails must not hand the option on to the
  // next template.
  FamilyLookup.CaseKeyOption = false;
  CloseLookupFiles();
}

int OpenValidationForLookup(int Code, int Slot) {
  CloseLookupFiles();
  TFamilyLookup& l = FamilyLookup;
  try {
    switch (Code) {
      case 0:
      case 1:
        OpenClientFile(ClientFileNo, ClientRec);
        if (Code == 1) BtrSetKeyNumber(ClientFileNo, 3);
        l.ClientByKey3 = Code == 1;
        l.ClientLookup = true;
        l.HostFileOpen[HostFileId::Client] = true;
        return 1;
      case 22:
      case 23: {
        OpenCaseFile(CaseFileNo, CaseRec);
        const bool right = Code == 22 && TFieldTable::InRange(Slot) && Store.FldTable[Slot].RightJustify;
        const int8_t key = Code == 23 ? 3 : l.CaseKeyOption ? (right ? 1 : 4) : (right ? 2 : 5);
        BtrSetKeyNumber(CaseFileNo, key);
        l.CaseByKey3 = Code == 23;
        l.CaseRightJustified = right;
        l.HostFileOpen[HostFileId::Case] = true;
        return 1;
      }
      case 62:
      case 63:
        OpenEmployeeFile(EmpFileNo, EmpRec);
        if (Code == 63) BtrSetKeyNumber(EmpFileNo, 3);
        l.EmpByKey3 = Code == 63;
        l.EmpLookup = true;
        l.HostFileOpen[HostFileId::Employee] = true;
        return 1;
      default: return 0;
    }
  } catch (const EAbort&) {
    // A file that opened but could not take its key is closed again.
    try {
      CloseLookupFiles();
    } catch (const EAbort&) {
    }
    return 0;
  }
}

bool DefineLookupField(int Code, int Column) {
  TLkpColumn entry;
  if (!LookupFieldEntry(Code, entry)) return false;
  TFamilyLookup& l = FamilyLookup;
  if (Column == 0) {
    if (l.DropColCount >= MaxDropCols) return false;
    l.LkpDropCols[++l.DropColCount] = entry;
  } else if (decltype(l.LkpDispCols)::InRange(Column)) {
    l.LkpDispCols[Column] = entry;
  } else {
    return false;
  }
  for (size_t i = 0; i < entry.size(); i += 3)
    if (entry[i] != 0) l.HostFileOpen[entry[i]] = true;
  return true;
}
