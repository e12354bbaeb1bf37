// The designer's field list without widgets: slots, positions, ids and
// flags after adding, applying, deleting and moving, on new templates and
// on modified ones with and without data, and the checks before a field
// is stored.
#include "designer/field_model.h"

#include "designer/corvenstead_lookup.h"
#include "templates/deleted_fields.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class FieldModelTest : public ::testing::Test {
protected:
  void SetUp() override { Store.Reset(); }
  void TearDown() override { Store.Reset(); }

  TFieldModel Model;

  static TFieldEntry Entry(const std::string& Name, char Type, int Width = 0) {
    TFieldEntry e;
    e.Name = Name;
    e.TypeIndex = TypeIndexOf(Type);
    e.Width = Width ? Width : DefaultTypeWidth(e.TypeIndex);
    return e;
  }

  // Adds a field, answering Yes to the comma question of a numeric one.
  void Add(const std::string& Name, char Type, int Width = 0) {
    DialogResponder boxes;
    if (Type == 'N') boxes.Answer(mrYes);
    TFieldEntry e = Entry(Name, Type, Width);
    ASSERT_TRUE(Model.AddField(e).Ok) << Name;
  }

  void Delete(int Index) {
    DialogResponder boxes;
    boxes.Answer(mrYes);
    ASSERT_TRUE(Model.DeleteField(Index));
  }

  // A modified template as the loader leaves it: fields at their places,
  // the list filled from the table.
  void Loaded(bool HasData) {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 5);
    t.Add("Name", 'C', 10);
    t.Add("Amount", 'N', 6).RightJustify = true;
    Store.Modifying = true;
    Store.HasData = HasData;
    for (int k = 1; k <= Store.FldCount; ++k) Model.List.push_back(Store.FldTable[k].Name);
    Model.Start();
  }

  static std::vector<int> Offsets() {
    std::vector<int> o;
    for (int k = 1; k <= Store.FldCount; ++k) o.push_back(Store.FldTable[k].Offset);
    return o;
  }
  static std::vector<int> Ids() {
    std::vector<int> o;
    for (int k = 1; k <= Store.FldCount; ++k) o.push_back(Store.FldTable[k].FldId);
    return o;
  }
};

TEST_F(FieldModelTest, ANewTemplateNumbersItsFieldsAndProposesTheSecondToLastWidth) {
  Model.Start();
  EXPECT_EQ(Store.RecLen, 4);
  Add("Client", 'C', 35);
  EXPECT_EQ(Model.ProposedWidth(0), 20);  // one field: not the last one's width
  Add("Matter", 'C', 12);
  EXPECT_EQ(Model.ProposedWidth(0), 35);  // the field before the last one
  EXPECT_EQ(Model.ProposedWidth(2), 12);  // another type: its default
  Add("Opened", 'D');
  Add("Fee", 'N', 9);
  Add("File", 'd');
  Add("Closed", 'B', 7);
  EXPECT_EQ(Store.FldCount, 6);
  EXPECT_EQ(Model.List, (std::vector<std::string>{"Client", "Matter", "Opened", "Fee", "File", "Closed"}));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Store.FldTable[6].Width, 1);  // a check box is one wide whatever the control says
  EXPECT_EQ(Store.FldTable[6].KeyWidth, 1);
  EXPECT_EQ(Store.RecLen, 4 + 35 + 12 + 8 + 9 + 72 + 1);
  EXPECT_EQ(Store.FldTable[4].SeqNo, 4);
  EXPECT_FALSE(Store.LayoutChanged);
}

TEST_F(FieldModelTest, ChecksRunInOrderAndRefuseWithTheirMessages) {
  Model.List = {"Client"};
  Store.FldCount = 1;
  struct Case {
    TFieldEntry entry;
    std::string message;  // "" accepted
    TEntryControl focus;
  };
  TFieldEntry longDefault = Entry("Code", 'C', 3);
  longDefault.Default = "ABCD";
  TFieldEntry badDate = Entry("When", 'D');
  badDate.Default = "13/45/2020";
  TFieldEntry zeroDate = Entry("When", 'D');
  zeroDate.Default = "0";
  TFieldEntry goodDate = Entry("When", 'D');
  goodDate.Default = "12/10/2026";
  TFieldEntry dupAndLong = Entry(" Client ", 'C', 1);
  dupAndLong.Default = "toolong";
  const Case cases[] = {
      {Entry("   ", 'C'), NoFieldNameMsg, TEntryControl::Name},
      {dupAndLong, DuplicateFieldMsg("Client"), TEntryControl::Name},
      {longDefault, DefaultTooLongMsg, TEntryControl::Default},
      {badDate, BadDateDefaultMsg, TEntryControl::Default},
      {zeroDate, "", TEntryControl::None},  // the blank date the placeholder offers
      {goodDate, "", TEntryControl::None},
  };
  for (const Case& c : cases) {
    DialogResponder boxes;
    if (!c.message.empty()) boxes.Expect(c.message);
    const TEntryVerdict v = Model.ValidateFieldEntry(c.entry);
    EXPECT_EQ(v.Ok, c.message.empty()) << c.entry.Name;
    EXPECT_EQ(v.Focus, c.focus) << c.entry.Name;
  }
  // The edited field's own entry does not count as a duplicate.
  Model.EditingFld = true;
  EXPECT_TRUE(Model.ValidateFieldEntry(Entry("Client", 'C')).Ok);
}

TEST_F(FieldModelTest, RefusedAddsLeaveTheTableAsItWas) {
  Model.Start();
  Add("Client", 'C');
  const TFieldTable before = Store.FldTable;
  {
    DialogResponder boxes;
    boxes.Expect(CommaQuestion(12), mrNo);
    TFieldEntry e = Entry("Fee", 'N');
    EXPECT_EQ(Model.AddField(e).Focus, TEntryControl::Width);
  }
  EXPECT_EQ(Store.FldCount, 1);
  EXPECT_EQ(Store.FldTable, before);
  EXPECT_EQ(Store.RecLen, 24);

  // Fifty named slots leave no id.
  for (int k = 2; k <= MaxFields; ++k) Add("F" + std::to_string(k), 'C', 1);
  EXPECT_EQ(NextFreeFieldId(), -1);
  DialogResponder boxes;
  boxes.Expect(NoFreeIdMsg + ContactMsg);
  TFieldEntry e = Entry("One more", 'C');
  EXPECT_FALSE(Model.AddField(e).Ok);
  EXPECT_EQ(Store.FldCount, MaxFields);
}

TEST_F(FieldModelTest, AddingToATemplateWithDataGoesBehindTheHighestUsedPosition) {
  Loaded(true);
  ASSERT_EQ(Store.RecLen, 4 + 5 + 10 + 6);
  Delete(1);  // Name: its hole stays
  EXPECT_EQ(Store.DeletedFlds, FormatDeletedFld({10, 10, 2}));
  EXPECT_EQ(Store.RecLen, 25);
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 20}));
  Add("Office", 'C', 8);
  Add("Partner", 'C', 3);
  // Behind position 25, not behind 25 + the deleted width.
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 20, 26, 34}));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 3, 2, 4}));
  EXPECT_EQ(Store.NewFldIds[2], 1);
  EXPECT_EQ(Store.NewFldIds[4], 1);
  EXPECT_TRUE(Store.LayoutChanged);
  EXPECT_EQ(Store.RecLen, 36);

  // A new field deleted while a later new one stays: the later one moves up.
  Delete(2);
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 20, 26}));
  EXPECT_EQ(Store.RecLen, 28);
  EXPECT_EQ(Store.NewFldIds[2], -1);
  EXPECT_TRUE(Store.LayoutChanged);  // Partner is still new
  EXPECT_EQ(Store.DeletedFlds, FormatDeletedFld({10, 10, 2}));  // new fields leave no entry
  Delete(2);
  EXPECT_FALSE(Store.LayoutChanged);
  EXPECT_EQ(Store.RecLen, 25);
}

TEST_F(FieldModelTest, DeletingWithoutDataClosesTheGapAndSlotsMoveDown) {
  Loaded(false);
  Delete(0);
  EXPECT_EQ(Model.List, (std::vector<std::string>{"Name", "Amount"}));
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 15}));
  EXPECT_EQ(Ids(), (std::vector<int>{2, 3}));
  EXPECT_EQ(Store.FldTable[1].SeqNo, 1);
  EXPECT_EQ(Store.FldTable[2].SeqNo, 2);
  EXPECT_EQ(Store.FldTable[3], TFld());
  EXPECT_EQ(Store.RecLen, 20);
  EXPECT_EQ(Store.DeletedFlds, FormatDeletedFld({5, 5, 1}));
  EXPECT_EQ(Store.FldCount, 2);
}

TEST_F(FieldModelTest, AFieldInAnIndexIsNotDeleted) {
  Loaded(false);
  Store.IndexRecs.Names[1] = "By name";
  Store.IndexRecs.SortFld1[1] = 2;
  const TFieldTable before = Store.FldTable;
  DialogResponder boxes;
  boxes.Answer(mrYes).Expect(
      "The field you wish to delete is part of one or more indexes for your\rtemplate.  You must remove this field "
      "from your index structure first\rbefore you can delete it.");
  EXPECT_FALSE(Model.DeleteField(1));
  EXPECT_EQ(Store.FldTable, before);
  EXPECT_EQ(Store.FldCount, 3);
}

TEST_F(FieldModelTest, MovesRenumberSlotsAndKeepIds) {
  Loaded(false);
  EXPECT_TRUE(Model.MoveField(2, 0));
  EXPECT_EQ(Model.List, (std::vector<std::string>{"Amount", "Code", "Name"}));
  EXPECT_EQ(Ids(), (std::vector<int>{3, 1, 2}));
  for (int k = 1; k <= 3; ++k) EXPECT_EQ(Store.FldTable[k].SeqNo, k);
  EXPECT_TRUE(Model.MoveField(0, 2));
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3}));
  ASSERT_TRUE(Model.StartEdit(1));
  DialogResponder boxes;
  boxes.Expect("Please save or cancel the changes to the field you are editing before attempting this operation.");
  EXPECT_FALSE(Model.MoveField(0, 1));
}

TEST_F(FieldModelTest, ApplyingAWiderFieldShiftsTheOnesBehindIt) {
  Loaded(false);
  ASSERT_TRUE(Model.StartEdit(0));
  EXPECT_EQ(Store.FldCount, 1);
  TFieldEntry e = Entry("Code", 'C', 8);
  ASSERT_TRUE(Model.AddField(e).Ok);
  EXPECT_FALSE(Model.EditingFld);
  EXPECT_EQ(Store.FldCount, 3);
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 13, 23}));
  EXPECT_EQ(Store.RecLen, 28);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3}));
}

TEST_F(FieldModelTest, AWiderUserListOnATemplateWithDataIsNoted) {
  for (const int width : {14, 6}) {
    Store.Reset();
    Model = TFieldModel();
    Loaded(true);
    ASSERT_TRUE(Model.StartEdit(1));
    TFieldEntry e = Entry("Name", 'C', width);
    e.IsLookup = true;
    e.Required = true;
    DialogResponder boxes;
    boxes.Answer(mrYes);  // required newly checked
    ASSERT_TRUE(Model.AddField(e, [](int Slot) { Store.FldTable[Slot].LkpKind = "U"; }).Ok);
    EXPECT_EQ(Store.ListFldWidened, width > 10) << width;
    EXPECT_EQ(Store.RecLen, 25 + width - 10);
  }
}

TEST_F(FieldModelTest, ANoToARuleQuestionAbandonsTheApplyAndUnchecksTheBox) {
  Loaded(true);
  Store.FldTable[3].MinVal = "1.00";
  Store.FldTable[3].MaxVal = "99.5";
  struct Case {
    bool upper, required, rangeOn;
    std::string min, max;
    std::vector<std::string> questions;  // each answered No but the last Yes
    bool applied;
  };
  const std::string upperQ = "The change you have made with regard to uppercasing will not affect pre-existing "
                             "data.\r\rContinue to apply changes?";
  const std::string rangeQ = "The change you have made regarding minimum and maximum numeric values will not affect "
                             "pre-existing data.\r\rContinue to apply changes?";
  const Case cases[] = {
      {true, false, false, "", "", {upperQ}, false},
      {false, false, true, "1", "99.50", {}, true},  // same in cents
      {false, false, true, "1", "99.51", {rangeQ}, false},
      {false, false, true, "x", "99.5", {rangeQ}, false},  // unreadable as 0
  };
  for (const Case& c : cases) {
    TFieldEntry e = Entry("Amount", 'N', 6);
    e.UpperCase = c.upper;
    e.RangeOff = !c.rangeOn;
    e.MinText = c.min;
    e.MaxText = c.max;
    Store.FldCount = 3;
    DialogResponder boxes;
    for (const std::string& q : c.questions) boxes.Expect(q, mrNo);
    EXPECT_EQ(Model.ConfirmDataRuleChanges(e), c.applied) << c.min << c.max;
    EXPECT_FALSE(e.UpperCase);
  }
}

TEST_F(FieldModelTest, TheAutomaticClientLookupGetsItsOwnPlaceInAModifiedTemplate) {
  Loaded(true);
  Model.List.push_back(ClientLookupName);  // the lookup form's return lists it
  Model.AutoClientLookup = true;
  TFieldEntry e = Entry("Matter", 'C', 9);
  ASSERT_TRUE(Model.AddField(e).Ok);
  EXPECT_EQ(Model.List, (std::vector<std::string>{"Code", "Name", "Amount", ClientLookupName, "Matter"}));
  EXPECT_EQ(Store.FldCount, 5);
  EXPECT_EQ(Store.FldTable[4].Name, ClientLookupName);
  EXPECT_EQ(Ids(), (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(Offsets(), (std::vector<int>{5, 10, 20, 26, 26 + ClientLookupWidth}));
  EXPECT_EQ(Store.NewFldIds[4], 1);
  EXPECT_EQ(Store.NewFldIds[5], 1);
  EXPECT_EQ(Store.RecLen, 25 + ClientLookupWidth + 9);
}

TEST_F(FieldModelTest, AClientLookupWithoutAnIdForTheFieldIsTakenBack) {
  Loaded(true);
  for (int k = 4; k < MaxFields; ++k) Add("F" + std::to_string(k), 'C', 1);
  const TFieldTable before = Store.FldTable;
  const int recLen = Store.RecLen;
  Model.List.push_back(ClientLookupName);
  Model.AutoClientLookup = true;
  DialogResponder boxes;
  boxes.Expect(NoFreeIdMsg + ContactMsg);
  TFieldEntry e = Entry("Matter", 'C', 9);
  EXPECT_FALSE(Model.AddField(e).Ok);
  EXPECT_EQ(Store.FldCount, MaxFields - 1);
  EXPECT_EQ(Store.FldTable, before);
  EXPECT_EQ(Store.RecLen, recLen);
  EXPECT_EQ(Store.NewFldIds[MaxFields], -1);
  EXPECT_EQ(Model.List.size(), size_t(MaxFields - 1));
}

TEST_F(FieldModelTest, ARightJustifiedCorvensteadLookupLosesItUnlessItIsTheCaseSuffix) {
  for (const auto& [spec, width, kept] : {std::tuple{"A  0", 7, false}, {"B 22", 7, true}, {"B 22", 9, false}}) {
    Store.Reset();
    Model = TFieldModel();
    Model.Start();
    TFieldEntry e = Entry("Lookup", 'C', width);
    e.IsLookup = true;
    e.RightJustify = true;
    DialogResponder boxes;
    if (!kept)
      boxes.Expect("This Corvenstead lookup will only function correctly if it is NOT\rright-justified.\r\rThe right "
                   "justification option you have selected will be ignored.");
    ASSERT_TRUE(Model.AddField(e, [&](int Slot) {
                       Store.FldTable[Slot].LkpKind = "L";
                       Store.FldTable[Slot].LkpSpec = spec;
                     }).Ok);
    EXPECT_EQ(Store.FldTable[1].RightJustify, kept) << spec << width;
  }
}

}  // namespace
