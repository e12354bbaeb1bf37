// The record transformations of a restructure, on record texts alone.
#include "templates/data_transfer.h"

#include "templates/deleted_fields.h"
#include "templates/store_constants.h"
#include "testing/expect_message.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A numeric field 7 wide between two others.
class RecordTransformTest : public ::testing::Test {
protected:
  void SetUp() override {
    TransferLayout.clear();
    t.Add("Code", 'C', 3);
    t.Add("Amount", 'N', 7).RightJustify = true;
    t.Add("Client", 'C', 8).KeyWidth = 4;
  }
  void TearDown() override {
    TransferLayout.clear();
    Store.Reset();
  }
  // The record text without its stamp.
  static std::string Text(const TFieldValues& values) {
    const std::string r = FillRecord(values);
    return r.substr(0, r.size() - FixtureStamp.size());
  }
  TTemplateTableBuilder t;
};

TEST_F(RecordTransformTest, NumericTextsTakeTheirDecimalsCutNeverRoundedAndBlankStaysBlank) {
  struct Case {
    int decimals;
    std::string in, out;
  };
  const Case cases[] = {{2, "12.5", "12.50"}, {2, "7", "7.00"},     {0, "3.456", "3"},  {1, "12.", "12.0"},
                        {1, "4.99", "4.9"},   {2, "-1.5", "-1.50"}, {0, ".5", "0"},     {2, "", ""},
                        {1, "  8 ", "8.0"},   {0, "12", "12"},      {2, "1234.5", "1234.50"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    t.Field(2).Decimals = c.decimals;
    std::string data = Text({{1, "ab"}, {2, c.in}, {3, std::string("x\0\x01\x02", 4)}});
    const std::string expected = Text({{1, "ab"}, {2, c.out}, {3, std::string("x\0\x01\x02", 4)}});
    ReformatNumericFields(data);
    EXPECT_EQ(data, expected);
  }
  t.Field(2).Decimals = 2;
  std::string data = Text({{2, "12345.5"}});
  const std::string before = data;
  ExpectMessage<ESaveRefused>([&] { ReformatNumericFields(data); },
                              "The field Amount holds the value 12345.5, which does not fit in 7 characters with 2 "
                              "decimals." + ContactMsg);
}

TEST_F(RecordTransformTest, JustifyingTouchesOnlyTheTextNotTheKeyBytesBehindIt) {
  const std::string keyBytes("\0\x1f \x05", 4);
  std::string data = Text({{1, " a"}, {2, "5    "}, {3, std::string("ab  ", 4) + keyBytes}});
  t.Field(3).RightJustify = true;
  FormatRecordFields(data);
  EXPECT_EQ(data, std::string("a  ") + "      5" + "  ab" + keyBytes);
}

TEST_F(RecordTransformTest, CarriedFieldsMoveByTheirIdsInTwoParts) {
  // Old layout: Code at 5 (3), Client at 8 (6, text 2), an old field 9 at 14.
  TransferLayout = {{1, {5, 3, 3}}, {3, {8, 6, 2}}, {9, {14, 2, 2}}};
  const std::string old = std::string("abcxy") + std::string("\x01\x02\x03\x04", 4) + "zz";
  const std::string carried = CarryFields(old, 18);
  // Amount is new and blank; Client's text widened to 4, its key bytes
  // behind it; field 9 is gone.
  EXPECT_EQ(carried, std::string("abc       xy  \x01\x02\x03\x04", 18));

  // Right-justified text keeps its right end when the text part narrows.
  TransferLayout = {{1, {5, 3, 3}}, {3, {8, 6, 6}}};
  t.Field(3).RightJustify = true;
  EXPECT_EQ(CarryFields("abc   xyz", 18).substr(10, 4), " xyz");
  ExpectMessage<ESaveRefused>([&] { CarryFields("abc vwxyz", 18); },
                              "The field Client holds entries longer than 4 characters.\rIt cannot be made narrower "
                              "while they exist." + ContactMsg);
  // Key bytes are never cut, not even NUL ones.
  TransferLayout = {{3, {8, 6, 1}}};
  t.Field(3).RightJustify = false;
  ExpectMessage<ESaveRefused>([&] { CarryFields(std::string("   a\0\0\0\0\0 ", 10), 18); },
                              "The field Client holds entries longer than 4 characters.\rIt cannot be made narrower "
                              "while they exist." + ContactMsg);
}

TEST_F(RecordTransformTest, DeletedFieldsAreBlankedWhereTheOldLayoutHasThem) {
  // The entry's offset 5 is stale: the field lay at 10 when it was stored.
  Store.DeletedFlds = FormatDeletedFld({5, 3, 7}) + FormatDeletedFld({5, 3, 8});
  TransferLayout = {{1, {5, 3, 3}}, {7, {10, 3, 3}}};
  std::string data = "abcdefghijklmn";
  BlankDeletedFields(data);
  EXPECT_EQ(data, "abcde   ijklmn");
}

}  // namespace
