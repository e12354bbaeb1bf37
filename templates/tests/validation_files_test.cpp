// The validation files against the real record manager: the openers, the
// lookup opening by field code, the lookup tables, and the catalogue
// resolved on every record of the sample office and compared with what the
// sample office's model says each field holds.
#include "templates/validation_files.h"

#include "btrieve/create_file.h"
#include "btrieve/tests/expect_btr_abort.h"
#include "platform/fault_point.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/packed_decimal.h"
#include "testing/family_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using ValidationFilesTest = FamilyDataTest;

constexpr int8_t FileNotFound = 12;
constexpr int8_t InvalidKeyNumber = 6;

// The quick entry's own numbers and buffers, for the openers that take them.
TDynCharArr QClientRec, QCaseRec, QEmpRec, QGroupRec;

struct OpenerCase {
  const char* name;
  std::function<void()> open;
  uint8_t fileNo;
  TDynCharArr* rec;
  size_t size;
  int key;
  std::string failure;
};

std::vector<OpenerCase> Openers() {
  return {
      {"client", [] { OpenClientFile(21, QClientRec); }, 21, &QClientRec, 393, 1, "Unable to open client file."},
      {"case", [] { OpenCaseFile(22, QCaseRec); }, 22, &QCaseRec, 439, 0, "Unable to open case file."},
      {"employee", [] { OpenEmployeeFile(23, QEmpRec); }, 23, &QEmpRec, 74, 1, "Unable to open employee file."},
      {"fee split", OpenFeeSplitFile, 14, &FSplitRec, 40, 2, "Unable to open fee split file."},
      {"case description", OpenCaseDescFile, 15, &CDescRec, 70, 1, "Unable to open case description file."},
      {"code table", [] { OpenYTableFile(26, QGroupRec); }, 26, &QGroupRec, 144, 3, "Unable to open file YTable.qc."},
      {"case address", OpenCaseAddrFile, 17, &CaseAddrRec, 359, 1, "Unable to open case address file."},
      {"system options", OpenSysOptionsFile, 29, &SysopRec, 504, 0, "Unable to open System Options file."},
      {"statement characteristics", OpenStatementCharFile, 30, &TscRec, 2404, 1,
       "Unable to open Statement Characteristics file."},
  };
}

void ClearQuickBuffers() {
  for (TDynCharArr* r : {&QClientRec, &QCaseRec, &QEmpRec, &QGroupRec}) r->clear();
}

TEST_F(ValidationFilesTest, EachOpenerOpensItsFileWithItsKeyAndBuffer) {
  Store.DataRoot = SampleFolder();
  ClearQuickBuffers();
  for (const OpenerCase& c : Openers()) {
    SCOPED_TRACE(c.name);
    c.open();
    EXPECT_TRUE(BtrIsFileOpen(c.fileNo));
    EXPECT_EQ(BtrGetKeyNumber(c.fileNo), c.key);
    EXPECT_EQ(*c.rec, TDynCharArr(c.size, 0));
  }
}

TEST_F(ValidationFilesTest, AFailingOpenerRaisesItsOwnTextAndLeavesTheNumberFree) {
  Store.DataRoot = TempPath("");
  ClearQuickBuffers();
  for (const OpenerCase& c : Openers()) {
    SCOPED_TRACE(c.name);
    ExpectBtrAbort(c.open, c.failure, FileNotFound);
    EXPECT_FALSE(BtrIsFileOpen(c.fileNo));
    EXPECT_TRUE(c.rec->empty());
  }
  // A file that opens but lacks the opener's key is closed again.
  std::string msg;
  const TKeySpec prefixOnly[] = {CodeTableFile.Keys[0]};
  ASSERT_TRUE(BtrCreateFile(TempPath("yTable.qf"), 144, 1, msg, 255, true, prefixOnly)) << msg;
  ExpectBtrAbort([] { OpenYTableFile(16, CodeTableRec); }, "Unable to open file YTable.qc.", InvalidKeyNumber);
  EXPECT_FALSE(BtrIsFileOpen(16));
  EXPECT_TRUE(CodeTableRec.empty());
}

TEST_F(ValidationFilesTest, AnOpenerCalledAgainKeepsFileKeyAndRecordAndRegrowsTheBuffer) {
  Store.DataRoot = SampleFolder();
  OpenClientFile(11, ClientRec);
  BtrSetKeyNumber(11, 3);
  bool atEnd = true;
  BtrGetFirst(11, ClientRec, atEnd, false);
  ASSERT_FALSE(atEnd);
  const TDynCharArr record = ClientRec;

  OpenClientFile(11, ClientRec);  // opened once: no second open, key and record kept
  EXPECT_EQ(BtrGetKeyNumber(11), 3);
  EXPECT_EQ(ClientRec, record);

  ClientRec.resize(10);
  OpenClientFile(11, ClientRec);
  ASSERT_EQ(ClientRec.size(), 393u);
  EXPECT_EQ(TDynCharArr(ClientRec.begin(), ClientRec.begin() + 10), TDynCharArr(record.begin(), record.begin() + 10));
  EXPECT_EQ(TDynCharArr(ClientRec.begin() + 10, ClientRec.end()), TDynCharArr(383, 0));

  // File 30 stays open through CloseValidationFiles; its next opener call
  // sizes the emptied buffer again, so reads work.
  OpenStatementCharFile();
  CloseValidationFiles();
  EXPECT_TRUE(BtrIsFileOpen(30));
  EXPECT_TRUE(TscRec.empty());
  OpenStatementCharFile();
  ASSERT_EQ(TscRec.size(), 2404u);
  ASSERT_TRUE(BtrGetEqual(30, StatementCharKey(""), TscRec, false));
  EXPECT_EQ(FieldText(TscRec, TscFld::Caption(1)), Format("%-25s", Office().Captions[0].Captions[0]));
}

TEST_F(ValidationFilesTest, ALongerFamilyRecordAndAnUpperCaseNameOnDisk) {
  std::string msg;
  ASSERT_TRUE(BtrCreateFile(TempPath("YCLIENT.QF"), 500, int8_t(ClientFile.Keys.size()), msg, 255, true,
                            ClientFile.Keys))
      << msg;
  Store.DataRoot = TempPath("");
  OpenClientFile(11, ClientRec);
  EXPECT_EQ(ClientRec.size(), 500u);
  EXPECT_EQ(BtrGetKeyNumber(11), 1);
}

// The lookup flags that are set, by name.
std::string Flags() {
  const TFamilyLookup& l = FamilyLookup;
  std::string s;
  for (const auto& [set, name] : {std::pair{l.ClientLookup, "client "}, std::pair{l.EmpLookup, "employee "},
                                  std::pair{l.ClientByKey3, "client3 "}, std::pair{l.CaseByKey3, "case3 "},
                                  std::pair{l.EmpByKey3, "employee3 "}, std::pair{l.CaseRightJustified, "right "}})
    if (set) s += name;
  for (int id = 1; id <= HostFileId::Count; ++id)
    if (l.HostFileOpen[id]) s += "open" + IntToStr(id) + " ";
  return s;
}

TEST_F(ValidationFilesTest, OpenValidationForLookupByCodeKeyOptionAndJustification) {
  Store.DataRoot = SampleFolder();
  const struct {
    int code;
    bool option, right;
    int slot;
    int result;
    int fileNo, key;
    std::string flags;
  } cases[] = {
      {0, false, false, 1, 1, 11, 1, "client open1 "},
      {1, true, true, 1, 1, 11, 3, "client client3 open1 "},
      {22, true, true, 1, 1, 12, 1, "right open2 "},
      {22, true, false, 1, 1, 12, 4, "open2 "},
      {22, false, true, 1, 1, 12, 2, "right open2 "},
      {22, false, false, 1, 1, 12, 5, "open2 "},
      {22, false, true, 0, 1, 12, 5, "open2 "},  // no such slot: not right-justified
      {23, true, true, 1, 1, 12, 3, "case3 open2 "},
      {62, true, true, 1, 1, 13, 1, "employee open3 "},
      {63, false, false, 1, 1, 13, 3, "employee employee3 open3 "},
      {2, false, false, 1, 0, 0, 0, ""},
      {58, false, false, 1, 0, 0, 0, ""},
      {-1, false, false, 1, 0, 0, 0, ""},
      {100, false, false, 1, 0, 0, 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Format("code %d, option %d, right %d", c.code, int(c.option), int(c.right)));
    FamilyLookup.CaseKeyOption = c.option;
    Store.FldTable[1].RightJustify = c.right;
    OpenClientFile(11, ClientRec);  // closed by the call whatever the code
    EXPECT_EQ(OpenValidationForLookup(c.code, c.slot), c.result);
    for (int fileNo = 11; fileNo <= 17; ++fileNo) EXPECT_EQ(BtrIsFileOpen(uint8_t(fileNo)), fileNo == c.fileNo);
    if (c.fileNo) {
      EXPECT_EQ(BtrGetKeyNumber(uint8_t(c.fileNo)), c.key);
    }
    EXPECT_EQ(Flags(), c.flags);
    EXPECT_EQ(FamilyLookup.CaseKeyOption, c.option);
  }
}

TEST_F(ValidationFilesTest, OpenValidationForLookupGivesZeroWhenTheFileIsMissing) {
  Store.DataRoot = TempPath("");
  for (const int code : {0, 1, 22, 23, 62, 63}) {
    SCOPED_TRACE(code);
    EXPECT_EQ(OpenValidationForLookup(code, 1), 0);
    EXPECT_FALSE(BtrIsFileOpen(uint8_t(code < 22 ? 11 : code < 62 ? 12 : 13)));
    EXPECT_EQ(FamilyLookup, TFamilyLookup());
  }
}

TEST_F(ValidationFilesTest, DefineLookupFieldStoresEntriesAndRefusesWhatDoesNotFit) {
  Store.DataRoot = SampleFolder();
  ASSERT_EQ(OpenValidationForLookup(22, 1), 1);
  EXPECT_TRUE(DefineLookupField(22, 0));
  EXPECT_TRUE(DefineLookupField(12, 0));
  EXPECT_TRUE(DefineLookupField(99, 80));
  EXPECT_EQ(FamilyLookup.LkpDropCols[1], (TLkpColumn{2, 123, 7, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(FamilyLookup.LkpDropCols[2], (TLkpColumn{2, 5, 7, 1, 370, 4, 3, 12, 35}));
  EXPECT_EQ(FamilyLookup.LkpDispCols[80], (TLkpColumn{2, 123, 7, 5, 21, 20, 0, 0, 0}));
  EXPECT_EQ(FamilyLookup.DropColCount, 2);
  EXPECT_EQ(Flags(), "open1 open2 open3 open5 ");

  EXPECT_TRUE(DefineLookupField(10, 0));
  EXPECT_TRUE(DefineLookupField(0, 0));
  const TFamilyLookup full = FamilyLookup;
  for (const auto& [code, column] : std::vector<std::pair<int, int>>{
           {23, 0}, {23, 81}, {23, -1}, {25, 1}, {58, 1}, {68, 1}, {79, 1}, {-1, 1}, {100, 1}}) {
    SCOPED_TRACE(Format("code %d column %d", code, column));
    EXPECT_FALSE(DefineLookupField(code, column));
    EXPECT_EQ(FamilyLookup, full);
  }

  ASSERT_EQ(OpenValidationForLookup(62, 1), 1);  // an employee lookup's client fields start at the case
  EXPECT_TRUE(DefineLookupField(0, 1));
  EXPECT_EQ(FamilyLookup.LkpDispCols[1], (TLkpColumn{2, 5, 7, 1, 5, 7, 0, 0, 0}));
  EXPECT_EQ(Flags(), "employee open1 open2 open3 ");

  ASSERT_EQ(OpenValidationForLookup(0, 1), 1);  // a client lookup reads the client record itself
  EXPECT_TRUE(DefineLookupField(12, 1));
  EXPECT_FALSE(DefineLookupField(22, 2));
  EXPECT_EQ(FamilyLookup.LkpDispCols[1], (TLkpColumn{1, 370, 4, 3, 12, 35, 0, 0, 0}));
  EXPECT_EQ(FamilyLookup.LkpDispCols[2], TLkpColumn{});
}

TEST_F(ValidationFilesTest, CloseValidationFilesClosesTheLookupFilesAndEmptiesTheirBuffers) {
  Store.DataRoot = SampleFolder();
  ASSERT_EQ(OpenValidationForLookup(23, 1), 1);
  for (int id = 1; id <= HostFileId::Count; ++id) OpenHostFile(id);
  OpenSysOptionsFile();
  OpenStatementCharFile();
  ASSERT_TRUE(DefineLookupField(59, 0));
  ASSERT_TRUE(DefineLookupField(65, 3));
  FamilyLookup.CaseKeyOption = true;
  const TDynCharArr sysop = SysopRec;

  CloseValidationFiles();

  for (int fileNo = 11; fileNo <= 17; ++fileNo) EXPECT_FALSE(BtrIsFileOpen(uint8_t(fileNo)));
  EXPECT_TRUE(BtrIsFileOpen(29));
  EXPECT_TRUE(BtrIsFileOpen(30));
  for (int id = 1; id <= HostFileId::Count; ++id) EXPECT_TRUE(HostFileRec(id).empty());
  EXPECT_TRUE(TscRec.empty());
  EXPECT_EQ(SysopRec, sysop);
  EXPECT_EQ(FamilyLookup, TFamilyLookup());
}

// The option belongs to the open template: its lookups keep it, closing
// the validation files ends it, so the next template starts without it.
TEST_F(ValidationFilesTest, CaseKeyOptionHoldsForTheTemplatesLookupsAndEndsWithTheValidationFiles) {
  Store.DataRoot = SampleFolder();
  FamilyLookup.CaseKeyOption = true;
  ASSERT_EQ(OpenValidationForLookup(22, 1), 1);
  EXPECT_EQ(BtrGetKeyNumber(CaseFileNo), 4);
  Store.DataRoot = TempPath("");
  EXPECT_EQ(OpenValidationForLookup(0, 1), 0);  // a lookup whose file fails keeps it too
  EXPECT_TRUE(FamilyLookup.CaseKeyOption);

  Store.DataRoot = SampleFolder();
  ASSERT_EQ(OpenValidationForLookup(22, 1), 1);
  ArmFaultPoint(1, TFaultAction::FailOnce);  // the close of file 12
  EXPECT_THROW(CloseValidationFiles(), EBtrAbort);
  DisarmFaultPoint();
  EXPECT_FALSE(FamilyLookup.CaseKeyOption);
  ASSERT_EQ(OpenValidationForLookup(22, 1), 1);
  EXPECT_EQ(BtrGetKeyNumber(CaseFileNo), 5);
}

// ---- the catalogue on the sample office ----

struct TExpected {
  std::optional<std::string> Text;
  THostFieldKind Kind = THostFieldKind::Text;
};

std::string Pad(const std::string& s, int width) { return Format("%-*s", width, s); }

// Hundredths as DecimalToStr shows them.
TExpected Money(int64_t units) {
  const int64_t magnitude = units < 0 ? -units : units;
  const std::string text = (units < 0 ? "-" : "") + (magnitude >= 100 ? Format("%d", magnitude / 100) : "") +
                           Format(".%.2d", magnitude % 100);
  return {Format("%12s", text), THostFieldKind::Packed};
}

// What each code shows for a sample record, from the sample office's model.
class TCatalogueExpectation {
public:
  explicit TCatalogueExpectation(const TSampleOffice& Office) : o_(Office) {}

  TExpected ForClient(int code, const TSampleClient& c) const {
    switch (code) {
      case 0: return {Pad(c.Code, 7)};
      case 1: return {Pad(c.FirstName, 30) + Pad(c.LastName, 40)};
      case 2: return {Pad(c.SecondNameLine, 60)};
      case 3: return {Pad(c.Address1, 60)};
      case 4: return {Pad(c.Address2, 60)};
      case 5: return {Pad(c.City, 30)};
      case 6: return {Pad(c.StateZipCountry, 30)};
      case 7: return {Pad(c.Phone1, 20)};
      case 8: return {Pad(c.Phone2, 20)};
      case 9: return {Pad(c.Office, 2)};
      case 10: return {CodeText('1', c.Office)};
      case 11: return {Pad(c.CoordAtty, 4)};
      case 12: return {EmpName(c.CoordAtty)};
      case 13: return {Pad(c.ClientType1, 2)};
      case 14: return {CodeText('2', c.ClientType1)};
      case 15: return {Pad(c.ClientType2, 2)};
      case 16: return {CodeText('2', c.ClientType2)};
      case 17: return {Pad(c.BillingRate, 2)};
      case 18: return {Pad(c.Unnamed380, 1)};
      case 19: return {Pad(c.FinanceCharge, 1)};
      case 20: return {Pad(c.AltBillFormat, 3)};
      case 21: return Money(c.DefaultThreshold);
    }
    ADD_FAILURE() << "no client expectation for code " << code;
    return {};
  }

  TExpected ForCase(int code, const TSampleCase& k) const {
    if (code <= 21) return ForClient(code, ClientOf(k.Client));
    if (code >= 81) {
      for (const TSampleCaseDesc& d : o_.CaseDescs)
        if (d.Case == k.Suffix && d.Line == code - 79) return {Pad(d.Text, 50)};
      return {};
    }
    const TSampleFeeSplit* split = nullptr;
    for (const TSampleFeeSplit& s : o_.FeeSplits)
      if (!split && s.Case == k.Suffix) split = &s;
    switch (code) {
      case 22: return {Pad(k.Suffix, 7)};
      case 23: return {Pad(k.AltId, 20)};
      case 24: return {Pad(k.AltBillFormat, 3)};
      case 26: return {Pad(k.RespAtty1, 4)};
      case 27: return {EmpName(k.RespAtty1)};
      case 28: return {Pad(k.RespAtty2, 4)};
      case 29: return {EmpName(k.RespAtty2)};
      case 30: return {Pad(k.RespAtty3, 4)};
      case 31: return {EmpName(k.RespAtty3)};
      case 32: return {Pad(k.Department, 2)};
      case 33: return {CodeText('3', k.Department)};
      case 34: return {Pad(k.CaseType1, 2)};
      case 35: return {CodeText('4', k.CaseType1)};
      case 36: return {Pad(k.CaseType2, 2)};
      case 37: return {CodeText('4', k.CaseType2)};
      case 38: return {Pad(k.CaseType3, 2)};
      case 39: return {CodeText('4', k.CaseType3)};
      case 40: return {Pad(k.Unnamed112, 1)};
      case 41: return {Pad(k.FinanceSwitch, 1)};
      case 42: return {Pad(k.StatementMsg, 2)};
      case 43: return {CodeText('5', k.StatementMsg)};
      case 44: return {Pad(k.FeeCycle, 1)};
      case 45: return {Pad(k.CostCycle, 1)};
      case 46: return {Pad(k.BillStatus1, 1)};
      case 47: return {Pad(k.BillStatus2, 1)};
      case 48: return {Pad(k.BillRate, 2)};
      case 49: return {Pad(k.RetainerTrans, 2)};
      case 50: return Money(k.Threshold);
      case 51: return Money(k.FeeBudget);
      case 52: return Money(k.CostBudget);
      case 53: return Money(k.RetainerMin);
      case 54: return {Pad(k.Opened, 6), THostFieldKind::FileDate};
      case 55: return {Pad(k.Closed, 6), THostFieldKind::FileDate};
      case 56: return {Pad(k.LastPosting, 6), THostFieldKind::FileDate};
      case 57: return {Pad(k.LastPayment, 6), THostFieldKind::FileDate};
      case 59: return split ? TExpected{Pad(split->DummyCase, 14)} : TExpected{};
      case 60: return split ? Money(split->FeePct) : TExpected{std::nullopt, THostFieldKind::Packed};
      case 61: return split ? Money(split->CostPct) : TExpected{std::nullopt, THostFieldKind::Packed};
      case 80: return {Pad(k.Description, 50)};
    }
    ADD_FAILURE() << "no case expectation for code " << code;
    return {};
  }

  TExpected ForEmployee(int code, const TSampleEmployee& e) const {
    switch (code) {
      case 62: return {Pad(e.Code, 4)};
      case 63: return {Pad(e.FirstName, 15) + Pad(e.LastName, 20)};
      case 64: return {Pad(e.Class, 2)};
      case 65: return {CodeText('7', e.Class)};
      case 66: return {Pad(e.Department, 2)};
      case 67: return {CodeText('6', e.Department)};
    }
    ADD_FAILURE() << "no employee expectation for code " << code;
    return {};
  }

private:
  std::optional<std::string> CodeText(char type, const std::string& code) const {
    for (const TSampleCode& c : o_.Codes)
      if (c.Type == type && c.Kind == ' ' && c.Code == code) return Pad(c.Description, 120);
    return std::nullopt;
  }
  std::optional<std::string> EmpName(const std::string& code) const {
    for (const TSampleEmployee& e : o_.Employees)
      if (e.Code == code) return Pad(e.FirstName, 15) + Pad(e.LastName, 20);
    return std::nullopt;
  }
  const TSampleClient& ClientOf(const std::string& code) const {
    for (const TSampleClient& c : o_.Clients)
      if (c.Code == code) return c;
    throw std::runtime_error("no client " + code);
  }

  const TSampleOffice& o_;
};

// Entry's value in Start, translated by Get Equal on the open host files;
// nothing when a translation finds no record.
std::optional<std::string> Resolve(const TLkpColumn& Entry, const std::string& Start) {
  std::string value = FieldText(Start, {uint16_t(Entry[1]), uint16_t(Entry[2])});
  for (size_t t = 3; t < Entry.size() && Entry[t] != 0; t += 3) {
    const int id = Entry[t];
    TDynCharArr& rec = HostFileRec(id);
    if (!BtrGetEqual(HostFileNo(id), HostTranslationKey(id, value, Entry[t + 2]), rec, false)) return std::nullopt;
    value = FieldText(rec, {uint16_t(Entry[t + 1]), uint16_t(HostTranslationWidth(id, Entry[t + 2]))});
  }
  return value;
}

TEST_F(ValidationFilesTest, TheCatalogueResolvesEveryCodeOnTheSampleRecords) {
  Store.DataRoot = SampleFolder();
  const TSampleOffice& office = Office();
  std::map<int, std::vector<std::string>> starts;  // by host file id, in the model's order
  for (int id : {HostFileId::Client, HostFileId::Case, HostFileId::Employee}) {
    OpenHostFile(id);
    starts[id] = ReadRecords(HostFileNo(id));
  }
  ASSERT_EQ(starts[HostFileId::Client].size(), office.Clients.size());
  ASSERT_EQ(starts[HostFileId::Case].size(), office.Cases.size());
  ASSERT_EQ(starts[HostFileId::Employee].size(), office.Employees.size());

  const TCatalogueExpectation expect(office);
  std::vector<std::string> mismatches;
  for (const int lookup : {0, 22, 62}) {
    std::map<int, int> found;
    ASSERT_EQ(OpenValidationForLookup(lookup, 1), 1);
    for (int id = 1; id <= HostFileId::Count; ++id) OpenHostFile(id);  // what the lookup opened keeps its key
    for (int code = 0; code <= MaxHostFldCode; ++code) {
      SCOPED_TRACE(Format("lookup %d, code %d", lookup, code));
      const TFamilyLookup before = FamilyLookup;
      const bool defined = lookup == 0 ? code <= 21 : code != 25 && code != 58 && (code < 68 || code > 79);
      ASSERT_EQ(DefineLookupField(code, 1), defined);
      if (!defined) {
        EXPECT_EQ(FamilyLookup, before);
        continue;
      }
      const TLkpColumn entry = FamilyLookup.LkpDispCols[1];
      for (size_t t = 0; t < entry.size(); t += 3)
        if (entry[t]) {
          EXPECT_TRUE(FamilyLookup.HostFileOpen[entry[t]]);
        }
      const std::vector<std::string>& records = starts[entry[0]];
      for (size_t i = 0; i < records.size(); ++i) {
        std::optional<std::string> got = Resolve(entry, records[i]);
        const TExpected want = entry[0] == HostFileId::Client ? expect.ForClient(code, office.Clients[i])
                               : entry[0] == HostFileId::Case ? expect.ForCase(code, office.Cases[i])
                                                              : expect.ForEmployee(code, office.Employees[i]);
        ASSERT_EQ(HostFieldKind(code), want.Kind);
        if (got && want.Kind == THostFieldKind::Packed) DecimalToStr(*got, HostFieldDecimals);
        if (got != want.Text)
          mismatches.push_back(Format("lookup %d code %d record %d: got \"%s\", want \"%s\"", lookup, code, int(i),
                                      got.value_or("(not found)"), want.Text.value_or("(not found)")));
        if (got) ++found[code];
      }
      EXPECT_GT(found[code], 0) << "no sample record resolves code " << code;
    }
  }
  EXPECT_TRUE(mismatches.empty()) << mismatches.size() << " mismatches, first: " << mismatches.front();
}

TEST(HostFldNamesTest, TheCatalogueNamesWithThePairsWrittenOut) {
  const std::map<int, std::string> named{
      {0, "Client code"},           {1, "Client name"},          {6, "State/zip/country"},
      {12, "Coordinating atty name"}, {16, "Client type 2 desc"},  {19, "Finance charge"},
      {21, "Default threshold"},    {22, "Case suffix"},         {23, "Case Alternate ID"},
      {25, "Case description info..."}, {29, "Resp Atty 2 name"}, {41, "Finance chg switch"},
      {44, "Fee bill cycle code"},  {45, "Cost bill cycle code"}, {48, "Case bill rate code"},
      {49, "Retainer trans code"},  {53, "Retainer minimum $"},   {55, "Date case closed"},
      {57, "Date last payment"},    {61, "Receptor case cost %"}, {63, "Employee name"},
      {67, "Employee dept name"},   {80, "Case description line 1"}, {81, "Case description line 2"},
      {99, "Case description line 20"}};
  for (int code = 0; code <= MaxHostFldCode; ++code) {
    SCOPED_TRACE(code);
    const std::string& name = Store.HostFldNames[code];
    const bool empty = code == 18 || code == 40 || code == 58 || (code >= 68 && code <= 79);
    EXPECT_EQ(name.empty(), empty);
    if (named.count(code)) {
      EXPECT_EQ(name, named.at(code));
    }
  }
  Store.Reset();
  EXPECT_EQ(Store.HostFldNames[25], "Case description info...");
}

}  // namespace
