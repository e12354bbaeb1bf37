#include "templates/template_state.h"

#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

class TemplateStateTest : public ::testing::Test {
protected:
  void SetUp() override { Store.Reset(); }
  void TearDown() override { Store.Reset(); }
};

TFld Filled() {
  TFld f;
  f.Name = "Client code";
  f.SeqNo = 3;
  f.FldId = 7;
  f.Offset = 12;
  f.FldType = 'N';
  f.UpperCase = f.Required = f.IsLookup = f.Unique = f.RightJustify = true;
  f.IdxCount = 2;
  f.IdxNo[1] = 1;
  f.IdxNo[2] = 3;
  f.SortPos[1] = 2;
  f.SortPos[2] = 1;
  f.Width = 9;
  f.Default = "0.00";
  f.Hint = "A hint";
  f.MinVal = "1";
  f.MaxVal = "99.99";
  f.Decimals = 2;
  f.LkpKind = "M";
  f.LkpTarget = "MNGR007.DSC";
  f.LkpSpec = "1  3";
  f.LkpKeyUnique = true;
  f.ReservedInt = 5;
  f.ReservedBytes = {1, 2, 3, 4};
  f.ReservedText = "search";
  f.Forced = true;
  f.KeyWidth = 5;
  f.DispCols[1] = 3;
  f.DispCols[80] = 4;
  f.CurValue = "12";
  f.PrevValue = "11";
  return f;
}

TEST_F(TemplateStateTest, InitFieldSlotLeavesNothingOfTheTemplateBefore) {
  Store.FldTable[4] = Filled();
  Store.FldTable[5] = Filled();
  InitFieldSlot(4);
  const TFld& slot = Store.FldTable[4];
  EXPECT_EQ(slot.FldType, ' ');
  EXPECT_EQ(slot.DispCols[1], -1);
  EXPECT_EQ(slot.DispCols[80], -1);
  EXPECT_EQ(slot.Hint, "");
  EXPECT_EQ(slot.ReservedText, "");
  EXPECT_EQ(slot.ReservedBytes, (std::array<uint8_t, 4>{}));
  EXPECT_EQ(slot.ReservedInt, 0);
  EXPECT_EQ(slot.IdxNo[2], 0);
  EXPECT_EQ(slot.SortPos[1], 0);
  EXPECT_FALSE(slot.Forced || slot.LkpKeyUnique || slot.UpperCase || slot.Required || slot.IsLookup ||
               slot.Unique || slot.RightJustify);
  EXPECT_EQ(slot, TFld());
  EXPECT_EQ(Store.FldTable[5], Filled());
}

TEST_F(TemplateStateTest, FiftyFieldsAndThreePseudoFieldsFitTheTable) {
  for (int i = 1; i <= MaxFields; ++i) Store.FldTable[i].Name = "F" + std::to_string(i);
  for (int i = 52; i <= FieldSlots; ++i) Store.FldTable[i].Name = "Pseudo";
  EXPECT_EQ(Store.FldTable[50].Name, "F50");
  EXPECT_EQ(Store.FldTable[51].Name, "");
}

TEST_F(TemplateStateTest, GoingPastACapacityIsAClearError) {
  struct Case {
    std::function<void()> touch;
    std::string message;
  };
  const std::vector<Case> cases{
      {[] { Store.FldTable[55].Name = "x"; }, "FldTable[55] is outside 1..54."},
      {[] { (void)Store.FldTable[0]; }, "FldTable[0] is outside 1..54."},
      {[] { Store.FldTable[1].IdxNo[6] = 1; }, "IdxNo[6] is outside 1..5."},
      {[] { Store.FldTable[1].SortPos[0] = 1; }, "SortPos[0] is outside 1..5."},
      {[] { Store.FldTable[1].DispCols[81] = 1; }, "DispCols[81] is outside 1..80."},
      {[] { Store.IndexRecs.Names[6] = "x"; }, "IndexRecs.Names[6] is outside 1..5."},
      {[] { Store.IndexRecs.SortFld(1, 4) = 1; }, "sort field[4] is outside 1..3."},
      {[] { Store.IndexRecs.SortFld(6, 1) = 1; }, "IndexRecs.SortFld1[6] is outside 1..5."},
      {[] { Store.IndexUnique[6] = true; }, "IndexUnique[6] is outside 1..5."},
      {[] { Store.PrimKey.Pos[4] = 1; }, "PrimKey.Pos[4] is outside 1..3."},
      {[] { Store.NewFldIds[51] = 1; }, "NewFldIds[51] is outside 1..50."},
      {[] { Store.MFlds[51].Name = "x"; }, "MFlds[51] is outside 1..50."},
      {[] { Store.AltLookupOn[4] = true; }, "AltLookupOn[4] is outside 1..3."},
      {[] { Store.TemplateList[1001] = "x"; }, "template list[1001] is outside 1..1000."},
      {[] { Store.ClientTpls[0] = "x"; }, "template list[0] is outside 1..1000."},
      {[] { Store.HostFldNames[100] = "x"; }, "HostFldNames[100] is outside 0..99."},
      {[] { InitFieldSlot(55); }, "FldTable[55] is outside 1..54."},
  };
  for (const Case& c : cases) ExpectMessage<ETableIndex>(c.touch, c.message);
  // Nothing beside the tables changed.
  EXPECT_EQ(Store.FldTable[54], TFld());
  EXPECT_EQ(Store.TemplateList[1000], "");
}

TEST_F(TemplateStateTest, SortFieldsByNumberAndTheIndexCount) {
  EXPECT_EQ(Store.IndexRecs.IndexCount(), 0);
  Store.IndexRecs.SortFld(1, 1) = 4;
  Store.IndexRecs.SortFld(1, 3) = 9;
  Store.IndexRecs.SortFld(2, 1) = 5;
  Store.IndexRecs.SortFld(4, 1) = 6;  // after a gap: not counted
  EXPECT_EQ(Store.IndexRecs.SortFld1[1], 4);
  EXPECT_EQ(Store.IndexRecs.SortFld3[1], 9);
  EXPECT_EQ(Store.IndexRecs.SortFld2[1], 0);
  EXPECT_EQ(Store.IndexRecs.IndexCount(), 2);
  for (int i = 1; i <= MaxIndexes; ++i) Store.IndexRecs.SortFld1[i] = i;
  EXPECT_EQ(Store.IndexRecs.IndexCount(), 5);
}

TEST_F(TemplateStateTest, ResetClearsTheTemplateAndKeepsTheHostFieldNames) {
  Store.HostFldNames[0] = "Client code";
  Store.HostFldNames[99] = "Last";
  Store.FldTable[1] = Filled();
  Store.FldCount = 1;
  Store.RecLen = 13;
  Store.TplName = "Fees";
  Store.TplNumber = "007";
  Store.OpenTplNumber = "007";
  Store.Modifying = Store.HasData = Store.IdxChanged = Store.LayoutChanged = true;
  Store.JustifyChanged = Store.MinMaxChanged = Store.ListFldWidened = true;
  Store.DeletedFlds = "12   9    7*";
  Store.IndexRecs.SortFld1[1] = 7;
  Store.IndexUnique[1] = true;
  Store.PrimKey.Width[2] = 4;
  Store.NewFldIds[3] = 1;
  Store.IndexNamesToWrite[1] = "By code";
  Store.MFlds[1].Name = "Code";
  Store.AltLookupOn[2] = true;
  Store.TemplateList[1] = "Fees";
  Store.ClientTpls[1] = Store.CaseTpls[1] = Store.EmpTpls[1] = "Fees";
  Store.DataDir = "/data";
  Store.TplRec.assign(20, 1);
  Store.LkpDataRec.assign(20, 1);

  Store.Reset();

  TTemplateStore fresh;
  fresh.HostFldNames[0] = "Client code";
  fresh.HostFldNames[99] = "Last";
  EXPECT_EQ(Store.FldTable, fresh.FldTable);
  EXPECT_EQ(Store.FldCount, 0);
  EXPECT_EQ(Store.RecLen, 0);
  EXPECT_EQ(Store.TplName, "");
  EXPECT_EQ(Store.TplNumber, "");
  EXPECT_EQ(Store.OpenTplNumber, "");
  EXPECT_FALSE(Store.Modifying || Store.HasData || Store.IdxChanged || Store.LayoutChanged ||
               Store.JustifyChanged || Store.MinMaxChanged || Store.ListFldWidened);
  EXPECT_EQ(Store.DeletedFlds, "");
  EXPECT_EQ(Store.IndexRecs, TIndexRecs());
  EXPECT_EQ(Store.IndexUnique, fresh.IndexUnique);
  EXPECT_EQ(Store.PrimKey, TPrimKey());
  EXPECT_EQ(Store.NewFldIds, fresh.NewFldIds);
  EXPECT_EQ(Store.IndexNamesToWrite, fresh.IndexNamesToWrite);
  EXPECT_EQ(Store.MFlds, fresh.MFlds);
  EXPECT_EQ(Store.AltLookupOn, fresh.AltLookupOn);
  EXPECT_EQ(Store.TemplateList, fresh.TemplateList);
  EXPECT_EQ(Store.ClientTpls, fresh.ClientTpls);
  EXPECT_EQ(Store.CaseTpls, fresh.CaseTpls);
  EXPECT_EQ(Store.EmpTpls, fresh.EmpTpls);
  EXPECT_EQ(Store.DataDir, "");
  EXPECT_TRUE(Store.TplRec.empty());
  EXPECT_TRUE(Store.LkpDataRec.empty());
  EXPECT_EQ(Store.HostFldNames, fresh.HostFldNames);
}

TEST(ListSep, IsTheCharacterOne) { EXPECT_EQ(ListSep, std::string(1, '\x01')); }

}  // namespace
