// The record save without a window: the field walk's bytes and checks over
// a view of the screen, the template lookup's check against its target's
// data file, and the save's steps over a fake screen on a real data file
// (insert, update, refusals, duplicates, a changed or vanished record, the
// layout check, what follows a done save).
#include "entry/record_save.h"

#include "entry/dropdown_list.h"
#include "entry/grid_layout_seam.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"
#include "testing/decimal_comma_locale.h"
#include "testing/dialog_responder.h"
#include "testing/piped_process.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

enum Slot : int {
  Code = 1,
  Amount,
  Opened,
  Done,
  Doc,
  ClientName,
  Matter,
  AltId,
  ClientCode,
  Notes,
  City,
  Ref,
  Free,
};

constexpr int OwnNumber = 7, TargetNumber = 12;
constexpr uint8_t MatterFileNo = Matter + TargetFileOffset;
// The target records' prefixes, as the key bytes a choice keeps.
constexpr uint32_t AlphaPrefix = 0xFF00;  // 00 FF 00 00
constexpr uint32_t BravoPrefix = 0x20;
const std::string AlphaKey("\x00\xFF\x00\x00", 4);
const std::string NameKey("\x00\xFF\x20\x81", 4);
const TDateTime December10 = 46366;  // 2026-12-10
const std::string DuplicateText =
    "Unable to save this entry.  A record already exists that matches the index values you have specified." +
    ContactMsg;

TSlotInput TextIn(std::string Text, std::vector<std::string> Displays = {}) {
  TSlotInput in;
  in.Text = std::move(Text);
  in.Displays = std::move(Displays);
  return in;
}
TSlotInput MemoIn(std::string Text) {
  TSlotInput in = TextIn(std::move(Text));
  in.Kind = TCtlKind::Memo;
  return in;
}
TSlotInput DateIn(double Date) {
  TSlotInput in;
  in.Kind = TCtlKind::DatePicker;
  in.Date = Date;
  return in;
}
TSlotInput CheckIn(bool Checked) {
  TSlotInput in;
  in.Kind = TCtlKind::CheckBox;
  in.Checked = Checked;
  return in;
}
TSlotInput DocIn(std::string Path) {
  TSlotInput in = TextIn(std::move(Path));
  in.Kind = TCtlKind::DocPanel;
  return in;
}

// A screen whose controls hold Inputs; a slot without an input has no
// control.
class TFakeView : public TSaveScreen {
public:
  std::map<int, TSlotInput> Inputs;
  std::vector<int> Focused;
  bool EditingMode = false, Skip = false, Pending = false;
  std::string Position, Loaded;
  int Clears = 0, Finds = 0, Reloads = 0, BusyOn = 0;
  bool ThrowFromInput = false;
  // Runs when the walk reads the first field.
  std::function<void()> DuringWalk;

  bool Input(int Slot, TSlotInput& In) const override {
    if (ThrowFromInput) throw EConvertError("The text holds a character this system cannot store.");
    if (Slot == Code && DuringWalk) DuringWalk();
    const auto it = Inputs.find(Slot);
    if (it == Inputs.end()) return false;
    In = it->second;
    return true;
  }
  void FocusField(int Slot) override { Focused.push_back(Slot); }
  bool Editing() const override { return EditingMode; }
  bool& SkipNextSave() override { return Skip; }
  bool FindPending() const override { return Pending; }
  void ShowBusy(bool On) override { BusyOn += On ? 1 : -1; }
  std::string EditedRowPosition() const override { return Position; }
  std::string LoadedRecord() const override { return Loaded; }
  void ReloadChangedRecord() override { ++Reloads; }
  void Clear() override { ++Clears; }
  void Find() override { ++Finds; }
};

class RecordSaveTest : public ::testing::Test {
protected:
  void SetUp() override {
    ResetBtrLayer();
    Store.Reset();
    Startup.Reset();
    Store.DataDir = dir_.path().string();
    WriteTargetTemplate(
        TargetNumber,
        [](TTemplateTableBuilder& t) {
          t.Add("Code", 'C', 6);
          t.Add("Title", 'C', 20);
          t.Add("Due", 'D', 8);
          t.Index(1, {1}, true, "By code");
        },
        [] {
          return std::vector<std::string>{
              WithPrefix(AlphaPrefix, FillRecord({{1, "ALPHA"}, {2, "First"}, {3, "20261201"}})),
              WithPrefix(BravoPrefix, FillRecord({{1, "BRAVO"}, {2, "Second"}, {3, "        "}}))};
        });
    Store.TemplateList[1] = Format("%-30s%3s", "Matters", "12");
    DefineOwnTemplate();
    WriteTargetData(OwnNumber, {});
    Store.OpenTplNumber = TTemplateNumber(OwnNumber).Stored();
    Store.TplNumber = Store.OpenTplNumber;
    Startup.WorkDate = December10;

    BtrOpenFile(MatterFileNo, DataFileName(TTemplateNumber(TargetNumber)), 0);
    BtrSetKeyNumber(MatterFileNo, 1);
    TFieldControl& c = lookups_[Matter];
    c.DataFileNo = MatterFileNo;
    c.RecLen = BtrRecordLength(MatterFileNo);
    c.TargetNo = TargetNumber;
    c.DispCols = {{2, 11, 20, ttText, -1, "Title"}, {3, 31, 8, ttDate, -1, "Due"}};
    // The list's own buffer, as the dropdown left it.
    Store.LkpDataRec.assign(7, 'x');
    SetGridLayoutCheck({});
  }
  void TearDown() override {
    SetGridLayoutCheck({});
    ResetBtrLayer();
    Store.Reset();
    Startup.Reset();
  }

  static void DefineOwnTemplate() {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    TFld& amount = t.Add("Amount", 'N', 10);
    amount.RightJustify = true;
    amount.MinVal = "1.00";
    amount.MaxVal = "1000.00";
    t.Add("Opened", 'D', 8);
    t.Add("Done", 'B', 1);
    t.Add("Doc", 'd', 80);
    TFld& name = t.Add("Client name", 'C', 47);
    Lookup(name, "L", "A  1  0", 40);
    TFld& matter = t.Add("Matter", 'C', 10);
    Lookup(matter, "M", "1  1", 6);
    matter.LkpTarget = "MNGR012.DSC";
    TFld& alt = t.Add("Alternate", 'C', 24);
    Lookup(alt, "L", "B 23 22", 20);
    TFld& code = t.Add("Client", 'C', 7);
    Lookup(code, "L", "A  0", 7);
    code.Unique = code.LkpKeyUnique = true;
    t.Add("Notes", 'C', 80);
    TFld& city = t.Add("City", 'C', 20);
    Lookup(city, "L", "A  5", 20);
    t.Add("Ref", 'C', 6).RightJustify = true;
    t.Add("Free", 'N', 8).MaxVal = "5";
    t.Index(1, {Code}, true, "By code");
  }
  static void Lookup(TFld& F, const char* Kind, const char* Spec, int KeyWidth) {
    F.IsLookup = true;
    F.LkpKind = Kind;
    F.LkpSpec = Spec;
    F.KeyWidth = KeyWidth;
  }
  static void Choose(int Slot, const std::string& Key, const std::string& Tail = "") {
    std::copy(Key.begin(), Key.end(), Store.FldTable[Slot].ReservedBytes.begin());
    Store.FldTable[Slot].ReservedText = Tail;
  }
  static std::string Blanks() { return std::string(size_t(Store.RecLen + 4), ' '); }
  static std::string FieldBytes(const std::string& Text, int Slot) {
    const TFld& f = Store.FldTable[Slot];
    return Text.substr(size_t(f.Offset - 5), size_t(f.Width));
  }
  static std::vector<std::string> DataRecords() { return ReadRecords(DataFileName(TTemplateNumber(OwnNumber))); }

  ScopedTempDir dir_;
  std::map<int, TFieldControl> lookups_;
  DialogResponder boxes_;
};

TEST_F(RecordSaveTest, EachFieldTakesExactlyItsBytesByTypeJustificationAndLookupForm) {
  struct TCase {
    const char* name;
    int slot;
    TSlotInput in;
    std::string bytes;
    std::string curValue;
    std::string key = {}, tail = {};  // what the lookup's choice kept
  };
  const std::string b40(40, ' ');
  const TCase cases[] = {
      {"text", Code, TextIn("ab c"), "ab c  ", "ab c"},
      {"text kept as typed", Code, TextIn(" ab"), " ab   ", "ab"},
      {"right-justified text", Ref, TextIn("R1"), "    R1", "R1"},
      {"number with separators", Amount, TextIn("1,000.00"), "  1,000.00", "1,000.00"},
      {"blank number", Amount, TextIn(""), std::string(10, ' '), ""},
      {"date, whole days", Opened, DateIn(December10 + 0.75), "20261210", "20261210"},
      {"no date", Opened, DateIn(0), "        ", "        "},
      {"checked", Done, CheckIn(true), "Y", "Y"},
      {"unchecked", Done, CheckIn(false), "N", "N"},
      {"document", Doc, DocIn("/office/a b.odt"), Format("%-72s", "/office/a b.odt") + std::string(8, ' '),
       "/office/a b.odt"},
      {"memo", Notes, MemoIn("Called twice"), Format("%-80s", "Called twice"), "Called twice"},
      {"client name", ClientName, TextIn("SMITH"), Format("%-40s", "SMITH") + NameKey + "SMI", "SMITH", NameKey,
       "SMI"},
      {"client name, short tail", ClientName, TextIn("S"), Format("%-40s", "S") + NameKey + "S  ", "S", NameKey, "S"},
      {"template lookup", Matter, TextIn("ALPHA", {"First", "12/01/2026"}), "ALPHA " + AlphaKey, "ALPHA", AlphaKey},
      {"case alternate id", AltId, TextIn("A-1"), Format("%-20s", "A-1") + NameKey, "A-1", NameKey},
      {"unique lookup", ClientCode, TextIn("ABC"), "ABC    ", "ABC", NameKey},
      {"family lookup without key room", City, TextIn("Springfield"), Format("%-20s", "Springfield"),
       "Springfield", NameKey},
      {"blank optional name lookup", ClientName, TextIn(""), std::string(47, ' '), "", NameKey, "SMI"},
      {"blank optional template lookup", Matter, TextIn(""), std::string(10, ' '), "", std::string(4, '\x7F')},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    DefineOwnTemplate();  // nothing kept from the case before
    if (!c.key.empty()) Choose(c.slot, c.key, c.tail);
    TFakeView view;
    view.Inputs[c.slot] = c.in;
    std::string text = Blanks();
    ASSERT_EQ(WalkFields(view, lookups_, text), std::nullopt);
    EXPECT_EQ(FieldBytes(text, c.slot), c.bytes);
    std::string rest = text;
    rest.replace(size_t(Store.FldTable[c.slot].Offset - 5), c.bytes.size(), std::string(c.bytes.size(), ' '));
    EXPECT_EQ(rest, Blanks()) << "bytes outside the field";
    EXPECT_EQ(Store.FldTable[c.slot].CurValue, c.curValue);
    EXPECT_TRUE(view.Focused.empty());
  }
  // The check left the lookup buffer's length and the target's key as
  // they were.
  EXPECT_EQ(Store.LkpDataRec.size(), 7u);
  EXPECT_EQ(BtrGetKeyNumber(MatterFileNo), 1);
}

TEST_F(RecordSaveTest, AFieldThatDoesNotPassNamesItselfAndTakesTheFocus) {
  for (const int slot : {Code, Amount, Opened, Notes, Matter}) Store.FldTable[slot].Required = true;
  struct TCase {
    const char* name;
    int slot;
    TSlotInput in;
    std::string text;
    TMsgDlgType type;
    int focus;
    std::string key = AlphaKey;
  };
  const std::string matterMissing = "Unable to validate a manager loookup reference  (GHOST).\r\rThis record cannot "
                                    "be saved at this time." +
                                    ContactMsg;
  const std::string matterDiffers =
      "The program was unable to authenticate the value ALPHA as a valid lookup in Matters.\r\rRe-enter the value "
      "and attempt to save this record again.\r\rIf the problem persists, contact Ondral, Inc. for assistance.";
  const TCase cases[] = {
      {"required text", Code, TextIn("  "), "The field Code requires an entry.", mtError, Code},
      {"required number", Amount, TextIn(""), "The field Amount requires an entry.", mtError, Amount},
      {"required date", Opened, DateIn(0), "The field Opened requires an entry.", mtError, Opened},
      {"required memo", Notes, MemoIn(" "), "The field Notes requires an entry.", mtError, Notes},
      {"required lookup", Matter, TextIn(""), "The field Matter requires an entry.", mtError, Matter},
      {"text too long", Code, TextIn("ABCDEFG"), OverSizeText(6), mtInformation, Code},
      {"number grown by separators", Amount, TextIn("100,000.000"), OverSizeText(10), mtInformation, Amount},
      {"memo too long", Notes, MemoIn(std::string(81, 'm')), OverSizeText(80), mtInformation, Notes},
      {"document path over 72", Doc, DocIn(std::string(73, 'p')), OverSizeText(72), mtInformation, Doc},
      {"template lookup over its key width", Matter, TextIn("ALPHA12", {"First", "12/01/2026"}), OverSizeText(6),
       mtInformation, Matter},
      {"name lookup over its text part", ClientName, TextIn(std::string(41, 'n')), OverSizeText(40), mtInformation,
       ClientName},
      {"below the minimum", Amount, TextIn("0.99"), "Amount is less than the minimum value of 1.00.", mtError, Amount},
      {"above the maximum with separators", Amount, TextIn("1,000.01"),
       "Amount is greater than the maximum value of 1000.00.", mtError, Amount},
      {"invalid date", Opened, DateIn(1e9), "Invalid date.  Unable to save this record.", mtError, 0},
      {"template lookup target missing", Matter, TextIn("GHOST", {"First", "12/01/2026"}), matterMissing, mtError,
       Matter, std::string("\x01\x02\x03\x04", 4)},
      {"display column differs", Matter, TextIn("ALPHA", {"Second", "12/01/2026"}), matterDiffers, mtError, Matter},
      {"display date differs", Matter, TextIn("ALPHA", {"First", "12/02/2026"}), matterDiffers, mtError, Matter},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.name);
    Choose(Matter, c.key);
    TFakeView view;
    view.Inputs[c.slot] = c.in;
    std::string text = Blanks();
    const auto refusal = WalkFields(view, lookups_, text);
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(*refusal, (TSaveRefusal{c.text, c.type, c.focus}));
    EXPECT_EQ(text, Blanks());
  }
  EXPECT_EQ(Store.LkpDataRec.size(), 7u);
  EXPECT_EQ(BtrGetKeyNumber(MatterFileNo), 1);
}

TEST_F(RecordSaveTest, RangesAllowTheToleranceAndCountOnlyWithAMinimumWhateverTheLocale) {
  const ScopedDecimalCommaLocale comma;
  struct TCase {
    int slot;
    const char* typed;
  } passing[] = {
      {Amount, "0.996"},     {Amount, "1"},         {Amount, "1,000.00"}, {Amount, "1000.004"},
      {Amount, "1,000.004"}, {Free, "99,999.0"},  {Free, "-12"},
  };
  for (const TCase& c : passing) {
    SCOPED_TRACE(c.typed);
    TFakeView view;
    view.Inputs[c.slot] = TextIn(c.typed);
    std::string text = Blanks();
    EXPECT_EQ(WalkFields(view, lookups_, text), std::nullopt);
  }
  TFakeView view;
  view.Inputs[Amount] = TextIn("1,000.006");
  std::string text = Blanks();
  ASSERT_TRUE(WalkFields(view, lookups_, text).has_value());
}

TEST_F(RecordSaveTest, TheWalkStopsAtTheFirstEmptyNameAndAtTheFirstFailure) {
  TFakeView view;
  view.Inputs[Code] = TextIn("FIRST");
  view.Inputs[Amount] = TextIn("0");
  view.Inputs[Ref] = TextIn("late");
  std::string text = Blanks();
  ASSERT_TRUE(WalkFields(view, lookups_, text).has_value());
  EXPECT_EQ(FieldBytes(text, Code), "FIRST ");
  EXPECT_EQ(FieldBytes(text, Ref), "      ");
  EXPECT_EQ(Store.FldTable[Ref].CurValue, "");

  // A name cleared ends the table there.
  Store.FldTable[Done].Name = "";
  view.Inputs[Amount] = TextIn("5");
  text = Blanks();
  ASSERT_EQ(WalkFields(view, lookups_, text), std::nullopt);
  EXPECT_EQ(FieldBytes(text, Ref), "      ");
}

// ---- the save's steps ----

TEST_F(RecordSaveTest, ANewEntryIsInsertedWithTheWorkDateStampAndConfirmed) {
  Startup.ConfirmSave = true;
  TFakeView view;
  view.Inputs[Code] = TextIn("C-1");
  view.Inputs[Amount] = TextIn("12.50");
  view.Inputs[Done] = CheckIn(true);
  Choose(ClientName, NameKey, "SMI");
  view.Inputs[ClientName] = TextIn("SMITH");
  boxes_.Expect("This record has been successfully saved.");
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Done);
  EXPECT_EQ(view.BusyOn, 0);
  EXPECT_FALSE(BtrIsFileOpen(OwnDataFileNo));
  const std::vector<std::string> records = DataRecords();
  ASSERT_EQ(records.size(), 1u);
  std::string expected = FillRecord({{Code, "C-1"}, {Amount, "12.50"}, {Done, "Y"}}, "20261210");
  expected.replace(size_t(Store.FldTable[ClientName].Offset - 5), 47, Format("%-40s", "SMITH") + NameKey + "SMI");
  EXPECT_EQ(records[0].substr(4), expected);
  EXPECT_EQ(RecordStampOf(records[0]), "20261210");
  // A new entry's values are the recall values; no AutoClear: no clearing.
  EXPECT_EQ(Store.FldTable[Code].PrevValue, "C-1");
  EXPECT_EQ(Store.FldTable[Done].PrevValue, "Y");
  EXPECT_EQ(view.Clears, 0);
}

TEST_F(RecordSaveTest, ABlankTemplateSavesBlanksWithOnlyTheStamp) {
  TFakeView view;
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Done);
  const std::vector<std::string> records = DataRecords();
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].substr(4), std::string(size_t(Store.RecLen - 4), ' ') + "20261210");
}

TEST_F(RecordSaveTest, ARefusedFieldWritesNothingAndGetsTheFocusAfterItsMessage) {
  TFakeView view;
  view.Inputs[Code] = TextIn("C-1");
  view.Inputs[Amount] = TextIn("0.5");
  boxes_.Expect("Amount is less than the minimum value of 1.00.");
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Refused);
  EXPECT_EQ(view.Focused, std::vector<int>{Amount});
  EXPECT_TRUE(DataRecords().empty());
  EXPECT_FALSE(BtrIsFileOpen(OwnDataFileNo));
  EXPECT_EQ(view.BusyOn, 0);
}

TEST_F(RecordSaveTest, AFailureInsideTheWalkIsToldAsTheSavesOwnError) {
  TFakeView view;
  view.ThrowFromInput = true;
  boxes_.Expect("The following error was encountered while attempting to save this record:\rThe text holds a "
                "character this system cannot store.\r\rThe record has not been saved." +
                ContactMsg);
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Failed);
  EXPECT_TRUE(DataRecords().empty());
}

TEST_F(RecordSaveTest, SkipNextSaveEndsTheClickOnlyOutsideEditingMode) {
  TFakeView view;
  view.Skip = true;
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Skipped);
  EXPECT_FALSE(view.Skip);
  EXPECT_EQ(view.BusyOn, 0);
  EXPECT_TRUE(DataRecords().empty());
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Done);
  EXPECT_EQ(DataRecords().size(), 1u);
}

TEST_F(RecordSaveTest, ADuplicateIndexValueIsRefusedWithItsOwnTextAndAnotherErrorWithItsText) {
  InsertRecords(DataFileName(TTemplateNumber(OwnNumber)), {WithPrefix(0, FillRecord({{Code, "C-1"}}))});
  const std::vector<std::string> before = DataRecords();
  TFakeView view;
  view.Inputs[Code] = TextIn("C-1");
  boxes_.Expect(DuplicateText);
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Failed);
  EXPECT_EQ(DataRecords(), before);
  EXPECT_EQ(view.Clears, 0);
  EXPECT_TRUE(Store.FldTable[Code].PrevValue.empty());

  // Statuses 50-59 are no duplicate.
  EXPECT_EQ(WriteFailureText("Insert failed.  Btrieve status 55.", 55),
            "Insert failed.  Btrieve status 55.\r\rUnable to save this record.\r\r" + ContactMsg);
}

// Another workstation's restructure takes the save lock exclusively: it
// cannot while a save runs, and can once the save is over.
TEST_F(RecordSaveTest, TheSaveHoldsTheTemplatesLockUntilItsFileIsClosed) {
  PipedProcess peer(SAVE_PEER_PATH, {Store.DataDir});
  TFakeView view;
  view.Inputs[Code] = TextIn("C-1");
  std::string during;
  view.DuringWalk = [&] { during = peer.Ask("lock exclusive " + std::to_string(OwnNumber)); };
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Done);
  EXPECT_EQ(during, "busy");
  EXPECT_EQ(peer.Ask("lock exclusive " + std::to_string(OwnNumber)), "held");
  EXPECT_EQ(peer.Ask("exit"), "bye");
}

TEST_F(RecordSaveTest, ALayoutChangedSinceTheScreenLoadedRefusesBeforeAnyField) {
  SetGridLayoutCheck([] { return false; });
  TFakeView view;
  view.Inputs[Code] = TextIn("C-1");
  view.Inputs[Amount] = TextIn("0");  // never reached
  boxes_.Expect(LayoutChangedText);
  EXPECT_EQ(SaveRecord(view, lookups_), TSaveOutcome::Refused);
  EXPECT_TRUE(view.Focused.empty());
  EXPECT_TRUE(DataRecords().empty());
  EXPECT_EQ(Store.FldTable[Code].CurValue, "");
}

class RecordUpdateTest : public RecordSaveTest {
protected:
  void SetUp() override {
    RecordSaveTest::SetUp();
    InsertRecords(DataFileName(TTemplateNumber(OwnNumber)),
                  {WithPrefix(0, FillRecord({{Code, "C-1"}, {Ref, "old"}})),
                   WithPrefix(0, FillRecord({{Code, "C-2"}, {Ref, "two"}}))});
    original_ = DataRecords();
    // The second row, as the grid's Edit loaded it.
    OpenTemplateDataFile(OwnDataFileNo);
    TDynCharArr rec(1);
    bool atEnd = false;
    BtrGetLast(OwnDataFileNo, rec, atEnd, false);
    view_.Position = FormatGridPosition(BtrSavePosition(OwnDataFileNo, rec));
    BtrCloseFile(OwnDataFileNo);
    view_.EditingMode = true;
    view_.Loaded = original_[1];
    view_.Inputs[Code] = TextIn("C-2");
    view_.Inputs[Ref] = TextIn("new");
  }
  std::vector<std::string> original_;
  TFakeView view_;
};

TEST_F(RecordUpdateTest, AnEditedRecordIsUpdatedKeepingItsPrefixThenTheFindRunsAgain) {
  Startup.ReturnToGridAfterEdit = true;
  EXPECT_EQ(SaveRecord(view_, lookups_), TSaveOutcome::Done);
  const std::vector<std::string> after = DataRecords();
  ASSERT_EQ(after.size(), 2u);
  EXPECT_EQ(after[0], original_[0]);
  EXPECT_EQ(after[1], original_[1].substr(0, 4) + FillRecord({{Code, "C-2"}, {Ref, "new"}}, "20261210"));
  EXPECT_EQ(view_.Finds, 1);
  EXPECT_EQ(view_.Clears, 0);
  // An update sets no recall values.
  EXPECT_EQ(Store.FldTable[Code].PrevValue, "");
}

TEST_F(RecordUpdateTest, NewIndexValuesOfAnotherRecordLeaveBothAsTheyWere) {
  view_.Inputs[Code] = TextIn("C-1");
  boxes_.Expect(DuplicateText);
  EXPECT_EQ(SaveRecord(view_, lookups_), TSaveOutcome::Failed);
  EXPECT_EQ(DataRecords(), original_);
}

TEST_F(RecordUpdateTest, ARecordChangedElsewhereSinceItsLoadIsShownNotOverwritten) {
  view_.Loaded = original_[1].substr(0, 4) + FillRecord({{Code, "C-2"}, {Ref, "stale"}});
  boxes_.Expect(RecordChangedText);
  EXPECT_EQ(SaveRecord(view_, lookups_), TSaveOutcome::Refused);
  EXPECT_EQ(DataRecords(), original_);
  EXPECT_EQ(view_.Reloads, 1);
  // The record as it now is waits in TplRec for the screen.
  EXPECT_EQ(std::string(Store.TplRec.begin(), Store.TplRec.end()), original_[1]);
  EXPECT_EQ(view_.Clears + view_.Finds, 0);
}

TEST_F(RecordUpdateTest, ARecordDeletedElsewhereIsNotSavedAndTheEditsStay) {
  OpenTemplateDataFile(OwnDataFileNo);
  TDynCharArr rec(1);
  bool atEnd = false;
  BtrGetLast(OwnDataFileNo, rec, atEnd, false);
  BtrDeleteRecord(OwnDataFileNo);
  BtrCloseFile(OwnDataFileNo);
  boxes_.Expect("Physical location invalid.\rBtrieve status 43.\rThe record address does not hold a record\r\rThe "
                "record has not been saved; the values on the screen are kept.");
  EXPECT_EQ(SaveRecord(view_, lookups_), TSaveOutcome::Failed);
  EXPECT_EQ(boxes_.Boxes().back().type, mtError);
  EXPECT_EQ(DataRecords(), std::vector<std::string>{original_[0]});
  EXPECT_EQ(view_.Clears + view_.Finds + view_.Reloads, 0);

  // A row without a position names no record.
  view_.Position = "deleted";
  boxes_.Expect(RereadFailureText(""));
  EXPECT_EQ(SaveRecord(view_, lookups_), TSaveOutcome::Failed);
}

TEST(AfterSave, ClearsFindsOrLeavesTheScreenBySettingsAndMode) {
  struct TCase {
    bool editing, autoClear, returnToGrid, findPending;
    TAfterSave next;
  } cases[] = {
      {false, false, false, false, TAfterSave::Nothing}, {false, true, false, false, TAfterSave::Clear},
      {false, true, true, true, TAfterSave::Clear},      {false, false, true, false, TAfterSave::Nothing},
      {true, false, true, false, TAfterSave::Find},      {true, true, true, false, TAfterSave::Find},
      {true, false, true, true, TAfterSave::Clear},      {true, false, false, false, TAfterSave::Clear},
      {true, true, false, true, TAfterSave::Clear},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(testing::Message() << c.editing << c.autoClear << c.returnToGrid << c.findPending);
    EXPECT_EQ(AfterSave(c.editing, c.autoClear, c.returnToGrid, c.findPending), c.next);
  }
}

}  // namespace
