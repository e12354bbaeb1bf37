// The test fixture that builds field tables and data records.
#include "testing/template_fixture.h"

#include "templates/data_transfer.h"
#include "templates/deleted_fields.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

TEST(TemplateFixture, FieldsTakePositionsIndexesAndDeletions) {
  TTemplateTableBuilder t;
  t.Add("Code", 'C', 4);
  t.Add("Name", 'C', 10).RightJustify = true;
  t.Add("Amount", 'N', 6, 9);
  t.Index(1, {9, 1}, true, "By amount").Index(2, {2});
  EXPECT_EQ(Store.FldCount, 3);
  EXPECT_EQ(Store.RecLen, 24);
  EXPECT_EQ(t.Field(9).Offset, 19);
  EXPECT_EQ(t.Field(9).SeqNo, 3);
  EXPECT_EQ(t.Field(1).IdxCount, 1);
  EXPECT_EQ(t.Field(1).SortPos[1], 2);
  EXPECT_EQ(Store.IndexRecs.SortFld(1, 1), 9);
  EXPECT_EQ(Store.IndexRecs.SortFld(1, 2), 1);
  EXPECT_TRUE(Store.IndexUnique[1]);
  EXPECT_EQ(Store.IndexNamesToWrite[1], "By amount");

  EXPECT_EQ(FillRecord({{1, "AB"}, {2, std::string("x\0y", 3)}, {9, "12.5"}}, "20260101"),
            std::string("AB         x\0y12.5  20260101", 28));

  t.Delete(2).Resize(1, 6);
  EXPECT_EQ(Store.DeletedFlds, FormatDeletedFld({9, 10, 2}));
  EXPECT_EQ(Store.FldCount, 2);
  EXPECT_EQ(Store.FldTable[2].FldId, 9);
  EXPECT_EQ(Store.FldTable[2].SeqNo, 2);
  EXPECT_EQ(Store.FldTable[2].Offset, 21);
  EXPECT_EQ(Store.FldTable[1].KeyWidth, 6);
  EXPECT_EQ(Store.FldTable[3].FldType, ' ');
  EXPECT_EQ(Store.IndexRecs.SortFld(2, 1), 0);
  EXPECT_EQ(Store.RecLen, 16);
  EXPECT_THROW(FillRecord({{2, "x"}}), std::invalid_argument);
  EXPECT_THROW(FillRecord({{1, "1234567"}}), std::invalid_argument);
  EXPECT_EQ(WithPrefix(0x01020304, "ab"), std::string("\x04\x03\x02\x01" "ab"));
}

// A lookup field keeps its key bytes behind its text: a right-justified
// value lies where the store's own formatting puts it.
TEST(TemplateFixture, RightJustifiedValuesLieWhereTheStoreJustifiesThem) {
  TTemplateTableBuilder t;
  t.Add("Client", 'C', 9).KeyWidth = 5;
  t.Add("Amount", 'N', 6).RightJustify = true;
  const TFieldValues values{{1, "ab"}, {2, "1.5"}};
  std::string stored = FillRecord(values);
  stored.resize(stored.size() - FixtureStamp.size());
  t.Field(1).RightJustify = true;
  FormatRecordFields(stored);

  const std::string filled = FillRecord(values);
  EXPECT_EQ(filled, stored + FixtureStamp);
  EXPECT_EQ(filled.substr(0, 15), "   ab       1.5");
  const std::string keyBytes("\x01\0\x02\x03", 4);
  EXPECT_EQ(FillRecord({{1, "abcde" + keyBytes}}).substr(0, 9), "abcde" + keyBytes);
}

}  // namespace
