// The index screen without widgets: the exit checks, the validation before
// a save (bypassed checks, missing first sort fields, gaps), and the
// memberships and unique flags the save gives the fields.
#include "designer/index_model.h"

#include "designer/field_model.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class IndexModelTest : public ::testing::Test {
protected:
  void SetUp() override {
    Store.Reset();
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 5);
    t.Add("Name", 'C', 10);
    t.Add("Amount", 'N', 6);
    t.Add("Memo", 'd', 72);
    t.Add("Done", 'B', 1);
    t.Add("Client", 'C', 7).LkpKind = "L";
  }
  void TearDown() override { Store.Reset(); }

  static TIndexScreen Screen(const std::vector<std::vector<std::string>>& Rows) {
    TIndexScreen s;
    for (size_t r = 0; r < Rows.size(); ++r) {
      s[r].Name = Rows[r][0];
      for (size_t c = 1; c < Rows[r].size(); ++c) s[r].Boxes[c - 1] = Rows[r][c];
    }
    return s;
  }

  static std::vector<std::pair<int, int>> Memberships(int Slot) {
    std::vector<std::pair<int, int>> m;
    const TFld& f = Store.FldTable[Slot];
    for (int i = 1; i <= f.IdxCount; ++i) m.emplace_back(f.IdxNo[i], f.SortPos[i]);
    return m;
  }
};

TEST_F(IndexModelTest, ValidationRefusesWithItsMessageAndFocus) {
  struct Case {
    std::vector<std::vector<std::string>> rows;
    std::string message;
    int row, col;
  };
  const Case cases[] = {
      {{{"Index1"}}, NoIndexMsg, 0, -1},
      {{{"Index1", "", "Name"}}, SortFieldStatus(0), 0, 0},            // no first sort field
      {{{"Index1", "", "", "Name"}}, SortFieldStatus(0), 0, 0},        // nor with the third only
      {{{"", "Code"}}, "Index 1 name is required.", 0, -1},
      {{{"A", "Code"}, {"B"}, {"C", "Name"}}, PreviousIndexUnusedMsg, 1, -1},
      {{{"A", "Code"}, {"A", "Name"}}, "Index names must be unique.", 0, -1},
      {{{"A", "Nope"}}, "The field 'Nope' is not in your template\rand may not be included as part of an index.", 0, 0},
      {{{"A", "Memo"}}, "Document fields may not be included in an index.", 0, 0},
      {{{"A", "Code", "Done"}}, "Check box fields may not be included in an index.", 0, 1},
      {{{"A", "Code", " Code"}}, "You may not use the same field twice in the same index.", 0, 1},
  };
  for (const Case& c : cases) {
    TIndexScreen s = Screen(c.rows);
    DialogResponder boxes;
    boxes.Expect(c.message);
    const TIndexVerdict v = ValidateIndexes(s);
    EXPECT_FALSE(v.Ok) << c.message;
    EXPECT_EQ(v.Row, c.row) << c.message;
    EXPECT_EQ(v.Col, c.col) << c.message;
  }
}

TEST_F(IndexModelTest, ANumericSortFieldBecomesRightJustifiedOnYesAndTheJustificationChanges) {
  const std::string question =
      "The numeric field you have selected is not right justified.\rThis is required in order to use a numeric field "
      "as part of an index.\r\rMake this field right justified so it can be used as an index?";
  {
    TIndexScreen s = Screen({{"A", "Amount"}});
    DialogResponder boxes;
    boxes.Expect(question, mrNo);
    const TIndexVerdict v = CheckSortFieldBox(s, 0, 0);
    EXPECT_FALSE(v.Ok);
    EXPECT_TRUE(v.ClearBox);
    EXPECT_EQ(s[0].Boxes[0], "");
    EXPECT_FALSE(Store.FldTable[3].RightJustify);
  }
  TIndexScreen s = Screen({{"A", " Amount "}});
  DialogResponder boxes;
  boxes.Expect(question, mrYes);
  EXPECT_TRUE(ValidateIndexes(s).Ok);
  EXPECT_EQ(s[0].Boxes[0], "Amount");
  EXPECT_TRUE(Store.FldTable[3].RightJustify);
  EXPECT_TRUE(Store.JustifyChanged);
}

TEST_F(IndexModelTest, AThirdSortFieldWithoutASecondClosesUp) {
  TIndexScreen s = Screen({{"A", "Code", "", "Name"}, {"B", "Name"}, {"  "}});
  ASSERT_TRUE(ValidateIndexes(s).Ok);
  EXPECT_EQ(s[0].Boxes, (std::array<std::string, 3>{"Code", "Name", ""}));
  // Names only up to the accepted indexes; memberships cleared for the save.
  EXPECT_EQ(Store.IndexNamesToWrite[1], "A");
  EXPECT_EQ(Store.IndexNamesToWrite[2], "B");
  EXPECT_EQ(Store.IndexNamesToWrite[3], "");
  EXPECT_EQ(Store.FldTable[1].IdxCount, 0);
}

TEST_F(IndexModelTest, MembershipsOnePerIndexFirstMatchingPositionOnly) {
  TIndexScreen s = Screen({{"A", "Code", "Name"}, {"B", "Name", "Code"}, {"C", "Client"}});
  s[1].Unique = true;
  ASSERT_TRUE(ValidateIndexes(s).Ok);
  ASSERT_TRUE(SetMemberships(s).Ok);
  EXPECT_EQ(Memberships(1), (std::vector<std::pair<int, int>>{{1, 1}, {2, 2}}));
  EXPECT_EQ(Memberships(2), (std::vector<std::pair<int, int>>{{1, 2}, {2, 1}}));
  EXPECT_EQ(Memberships(6), (std::vector<std::pair<int, int>>{{3, 1}}));
  EXPECT_FALSE(Store.FldTable[1].Unique);  // second position of the unique index
  EXPECT_TRUE(Store.FldTable[2].Unique);
  EXPECT_TRUE(Store.FldTable[6].Unique);  // an L lookup of width 7 keeps it
}

TEST_F(IndexModelTest, AUniqueIndexOfOnlyNewMembersIsRefusedWithData) {
  Store.HasData = true;
  Store.NewFldIds[1] = 1;
  Store.NewFldIds[2] = 1;
  TIndexScreen s = Screen({{"A", "Code", "Name"}});
  s[0].Unique = true;
  {
    DialogResponder boxes;
    boxes.Expect(UniqueNewMembersMsg + ContactMsg);
    const TIndexVerdict v = SetMemberships(s);
    EXPECT_FALSE(v.Ok);
    EXPECT_EQ(v.Col, 0);
  }
  Store.NewFldIds[2] = -1;  // one old member: accepted
  EXPECT_TRUE(SetMemberships(s).Ok);
}

TEST_F(IndexModelTest, LockedIndexTextNamesOneOrMore) {
  EXPECT_EQ(LockedIndexText({"By code"}),
            "Lookup fields from other templates require the following index:  By code.  In order to edit this index, "
            "you will have to modify or remove the lookup fields that reference it first.  Click More Info (Alt-M) "
            "for more information.");
  EXPECT_EQ(LockedIndexText({"By code", "By name"}),
            "Lookup fields from other templates require the following indexes:  By code, By name.  In order to edit "
            "any of these indexes, you will have to modify or remove the lookup fields that reference them first.  "
            "Click More Info (Alt-M) for more information.");
}

}  // namespace
