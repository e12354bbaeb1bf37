#include "templates/user_list_codec.h"

#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Prefix("\x07\x00\x00\x00", 4);

TEST(UserListRecord, GoldenBytesInBothNumberLayouts) {
  EXPECT_EQ(FormatUserListText(7, "Courts", TListNumberLayout::Left), "7       Courts              ");
  EXPECT_EQ(FormatUserListText(12345678, "Caf\xE9 list", TListNumberLayout::Right), "12345678Caf\xE9 list           ");
  EXPECT_EQ(FormatUserListText(42, std::string(20, 'n'), TListNumberLayout::Right), "      42" + std::string(20, 'n'));
  EXPECT_EQ(FormatUserListText(7, "", TListNumberLayout::Left).size(), 28u);
  ExpectMessage<EUserListError>([] { FormatUserListText(1, std::string(21, 'x'), TListNumberLayout::Left); },
                                "The list name \"" + std::string(21, 'x') + "\" is longer than 20 characters.");
  ExpectMessage<EUserListError>([] { FormatUserListText(100000000, "x", TListNumberLayout::Left); },
                                "A list number must lie between 0 and 99999999.");
}

TEST(UserListRecord, ReadersTrimTheNumberWhicheverWayItWasWritten) {
  for (TListNumberLayout layout : {TListNumberLayout::Left, TListNumberLayout::Right}) {
    const std::string record = Prefix + FormatUserListText(31, "  Judges", layout);
    ASSERT_EQ(record.size(), size_t(UserListRecordLength));
    EXPECT_EQ(ParseUserListRecord(record), (TUserListRecord{31, "  Judges"}));
  }
  // A number column that holds no number names no list.
  EXPECT_EQ(ParseUserListRecord(Prefix + "  x7    Broken              ").Number, -1);
  EXPECT_EQ(ParseUserListRecord(Prefix + "        Blank               ").Number, -1);
  EXPECT_EQ(ParseUserListRecord(Prefix + "-3      Negative            ").Number, -1);
  ExpectMessage<EUserListError>([] { ParseUserListRecord(Prefix + "short"); },
                                "A LISTS.USR record is shorter than 32 bytes.");
}

TEST(UserListRecord, ARenameKeepsTheNumberAsStored) {
  const std::string record = Prefix + FormatUserListText(9, "Old", TListNumberLayout::Right);
  EXPECT_EQ(RenamedUserListText(record, "New name"), "       9New name            ");
}

TEST(UserListRecord, KeyOneIsTheNumberAndAllowsDuplicates) {
  ASSERT_EQ(UserListKeySegments.size(), 2u);
  EXPECT_TRUE(UserListKeySegments[0].AutoInc);
  const TKeySegment& k1 = UserListKeySegments[1];
  EXPECT_EQ(k1.KeyNo, 1);
  EXPECT_EQ(k1.Position, 5);
  EXPECT_EQ(k1.Length, 8);
  EXPECT_TRUE(k1.Duplicates);
  EXPECT_EQ(UserListName.Position + UserListName.Width - 1, UserListRecordLength);
}

TEST(ListFile, HeaderLines) {
  EXPECT_EQ(ListHeaderLine("Courts"), "\x01 \x01" "Courts              ");
  EXPECT_EQ(ListHeaderName(ListHeaderLine("Courts")), "Courts");
  EXPECT_EQ(ListHeaderName("\x01x\x01" "A name longer than twenty"), "A name longer than t");
  EXPECT_EQ(RenamedListHeader("\x01x\x01Old", "New"), "\x01x\x01" "New                 ");
  const struct {
    std::string line;
    bool header;
  } cases[] = {
      {"\x01 \x01Name", true},  {"\x01x\x01", true},  {"\x01\x01\x01", true}, {"\x01 ", false},
      {" \x01\x01Name", false}, {"\x01  \x01", false}, {"Item", false},        {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(IsListHeader(c.line), c.header) << c.line;
}

TEST(ListFile, LinesRoundTripAndReadWithEitherLineEnd) {
  const std::vector<std::string> lines{"Alpha", "B\x01second column", "\xC9t\xE9 \xFF", "\x01 \x01Name"};
  const std::string bytes = JoinListLines(lines);
  EXPECT_EQ(bytes, "Alpha\r\nB\x01second column\r\n\xC9t\xE9 \xFF\r\n\x01 \x01Name\r\n");
  EXPECT_EQ(SplitListLines(bytes), lines);
  EXPECT_EQ(SplitListLines("Alpha\nB\x01second column\n\xC9t\xE9 \xFF\n\x01 \x01Name"), lines);
  EXPECT_EQ(SplitListLines("a\r\n\r\nb\nc\r"), (std::vector<std::string>{"a", "", "b", "c\r"}));
  EXPECT_TRUE(SplitListLines("").empty());
}

TEST(ListFile, ItemsLeaveOutBlankLinesAndHeaders) {
  EXPECT_EQ(ListItems({"One", "  ", "", "\x01 \x01Name", "Two\x01" "2", "\x01" "Lone"}),
            (std::vector<std::string>{"One", "Two\x01" "2", "\x01" "Lone"}));
}

TEST(ListFile, ASaveAppendsTheHeaderUnlessAnItemBeginsWithItsMarker) {
  EXPECT_EQ(SavedListLines({"a", "b"}, "Letters"),
            (std::vector<std::string>{"a", "b", "\x01 \x01Letters             "}));
  EXPECT_EQ(SavedListLines({"\x01 \x01Own header", "b"}, "Letters"),
            (std::vector<std::string>{"\x01 \x01Own header", "b"}));
  // The marker is three characters; the header test alone does not suppress it.
  EXPECT_EQ(SavedListLines({"\x01x\x01y"}, "L").size(), 2u);
  EXPECT_EQ(SavedListLines({}, "Empty"), (std::vector<std::string>{"\x01 \x01" "Empty               "}));
}

TEST(ListFile, ItemColumns) {
  EXPECT_EQ(SplitListItem("Single"), (TListItemColumns{"Single", "", false}));
  EXPECT_EQ(SplitListItem("Code\x01" "Description"), (TListItemColumns{"Code", "Description", true}));
  // Only the first separator divides: column 2 keeps any after it.
  EXPECT_EQ(SplitListItem("A\x01" "b\x01" "c"), (TListItemColumns{"A", "b\x01" "c", true}));
  EXPECT_EQ(SplitListItem("\x01" "x"), (TListItemColumns{"", "x", true}));
  EXPECT_EQ(JoinListItem("A", "b\x01" "c", true), "A\x01" "b\x01" "c");
  EXPECT_EQ(JoinListItem("A", "ignored", false), "A");
  for (const std::string item : {"A\x01" "b\x01" "c", "Caf\xE9\x01\xFF", "plain"}) {
    const TListItemColumns c = SplitListItem(item);
    EXPECT_EQ(JoinListItem(c.Col1, c.Col2, c.Double), item);
  }
}

TEST(ListFile, OnlyDigitsAndTheExtensionNameAList) {
  const struct {
    std::string target;
    std::optional<int> number;
  } cases[] = {
      {"7.lst", 7},           {"12.LST", 12},          {"99999999.lst", 99999999}, {"3.Lst", 3},
      {"0.lst", std::nullopt}, {"07.lst", std::nullopt}, {"100000000.lst", std::nullopt},
      {".lst", std::nullopt},  {"lst", std::nullopt},    {"7.lst ", std::nullopt},   {" 7.lst", std::nullopt},
      {"7.txt", std::nullopt}, {"7", std::nullopt},      {"-7.lst", std::nullopt},   {"+7.lst", std::nullopt},
      {"..\\7.lst", std::nullopt}, {"sub/7.lst", std::nullopt}, {"C:7.lst", std::nullopt},
      {"7.lst.lst", std::nullopt}, {"", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ListFileNumber(c.target), c.number) << c.target;
  EXPECT_EQ(ListFileName(31), "31.lst");
}

}  // namespace
