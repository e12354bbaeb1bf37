// The links file's codec, writer and reader; the table of child instances;
// a child's argument vector.
#include "entry/linked_children.h"
#include "entry/links_file.h"

#include "templates/template_state.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TLinkLine Line(char Kind, int Number, const std::string& Name) { return {Kind, TTemplateNumber(Number), Name}; }

TEST(LinksFileTest, LinesAreFormattedAndParsedColumnByColumn) {
  EXPECT_EQ(FormatLinkLine(Line('C', 7, "Client notes")), "C 007  Client notes                  ");
  // Not cut: the reader takes columns 8-37 only.
  const std::string longName(34, 'N');
  EXPECT_EQ(FormatLinkLine(Line('E', 998, longName)), "E 998  " + longName);
  EXPECT_EQ(ParseLinkLine("E 998  " + longName), Line('E', 998, std::string(30, 'N')));

  struct {
    std::string text;
    std::optional<TLinkLine> parsed;
  } const cases[] = {
      {"M 012  Matter billing                 ", Line('M', 12, "Matter billing")},
      {"C   7  Short", Line('C', 7, "Short")},
      {"C 7    Left-justified", std::nullopt},
      {"C 007", Line('C', 7, "")},
      {"E 000  ", Line('E', 0, "")},
      {"C", std::nullopt},
      {"", std::nullopt},
      {"X 007  Other kind", std::nullopt},
      {"c 007  Lower case kind", std::nullopt},
      {"C abc  Not a number", std::nullopt},
      {"C 999  Never given out", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseLinkLine(c.text), c.parsed) << c.text;
}

TEST(LinksFileTest, OnlyTheScreensOwnRememberedLinksAreWrittenInKindOrder) {
  TRememberedLinks links;
  links[2] = {"Matters", TTemplateNumber(3), "Hours"};
  links[1] = {" Matters ", TTemplateNumber(12), "Billing"};
  links[0] = {"Client notes", TTemplateNumber(5), "Matters"};  // remembered by another screen
  EXPECT_EQ(LinksToWrite(links, "Matters"), (std::vector<TLinkLine>{Line('M', 12, "Billing"), Line('E', 3, "Hours")}));
  EXPECT_TRUE(LinksToWrite(TRememberedLinks{}, "Matters").empty());
  EXPECT_TRUE(LinksToWrite(links, "Other").empty());
}

class LinksFileIoTest : public TempDirTest {};

TEST_F(LinksFileIoTest, TheWriterEndsLinesWithCrLfAndTheReaderTakesEitherEnd) {
  const std::string file = TempPath("Links.007");
  ASSERT_TRUE(WriteLinksFile(file, {Line('C', 5, "Notes"), Line('E', 3, "Hours")}));
  EXPECT_EQ(ReadFileBytes(file), "C 005  Notes                         \r\nE 003  Hours                         \r\n");
  EXPECT_EQ(ReadLinksFile(file), (std::vector<TLinkLine>{Line('C', 5, "Notes"), Line('E', 3, "Hours")}));

  WriteFileBytes(file, "M 012  Billing\nX\n\n \r\nC 004  Last without end");
  EXPECT_EQ(ReadLinksFile(file), (std::vector<TLinkLine>{Line('M', 12, "Billing"), Line('C', 4, "Last without end")}));
  EXPECT_TRUE(ReadLinksFile(TempPath("Links.008")).empty());
  EXPECT_EQ(LinksFileName(TTemplateNumber(7)), "Links.007");
}

TEST_F(LinksFileIoTest, AFailedWriteLeavesTheOldFile) {
  const std::string file = TempPath("Links.007");
  WriteFileBytes(file, "C 005  Notes\r\n");
  // A folder where the file would go cannot be replaced.
  std::filesystem::create_directory(TempPath("Links.008"));
  EXPECT_FALSE(WriteLinksFile(TempPath("Links.008"), {Line('C', 5, "Notes")}));
  EXPECT_FALSE(WriteLinksFile(TempPath("missing/Links.007"), {Line('C', 5, "Notes")}));
  EXPECT_EQ(ReadFileBytes(file), "C 005  Notes\r\n");
}

class LinkedChildrenTest : public ::testing::Test {
protected:
  void SetUp() override { ResetLinkedChildren(); }
  void TearDown() override { ResetLinkedChildren(); }
  TLinkedChildren& Children() { return LinkedChildren(); }
};

TEST_F(LinkedChildrenTest, ThreeChildrenRunAFourthIsRefusedAndAnEndedOneIsRevived) {
  TLinkedChildren& c = Children();
  c.RegisterOwnEntry("Matters", 10, 20);
  c.RegisterOwnEntry("Other", 0, 0);  // once
  EXPECT_EQ(c.ChildApps[0].TplName, "Matters");
  for (const char* name : {"A", "B", "C"}) {
    ASSERT_EQ(c.Decide(name), TChildStart::Start) << name;
    c.Started(name, TChildStart::Start, 1, 2);
  }
  EXPECT_EQ(c.ChildIdx, 2);
  EXPECT_EQ(c.Decide(" B "), TChildStart::AlreadyRunning);
  EXPECT_EQ(c.Decide("D"), TChildStart::TooMany);

  EXPECT_TRUE(c.MarkEnded("B"));
  EXPECT_FALSE(c.MarkEnded("D"));
  EXPECT_TRUE(c.ChildButtons[1].Ended);
  EXPECT_FALSE(c.ChildApps[2].InUse);
  std::vector<std::string> states;
  for (const auto& n : c.Notices()) states.push_back(n.Name + ":" + n.State);
  EXPECT_EQ(states, (std::vector<std::string>{"Matters:LIVE", "A:LIVE", "B:DEAD", "C:LIVE"}));

  ASSERT_EQ(c.Decide("B"), TChildStart::Revive);
  c.Started("B", TChildStart::Revive, 0, 0);
  EXPECT_FALSE(c.ChildButtons[1].Ended);
  EXPECT_TRUE(c.ChildApps[2].InUse);
  EXPECT_EQ(c.ChildIdx, 2);
  EXPECT_EQ(c.Decide("B"), TChildStart::AlreadyRunning);
}

TEST_F(LinkedChildrenTest, AButtonIsAddedOncePerCaption) {
  TLinkedChildren& c = Children();
  EXPECT_TRUE(c.AddButton(" Hours "));
  EXPECT_FALSE(c.AddButton("Hours"));
  EXPECT_EQ(c.FindButton("Hours "), 0);
  EXPECT_EQ(c.ChildButtons[0].Caption, "Hours");
  EXPECT_TRUE(c.AddButton("B"));
  EXPECT_TRUE(c.AddButton("C"));
  EXPECT_FALSE(c.AddButton("D"));
  EXPECT_EQ(c.ChildIdx, 2);
}

TEST(ChildArgumentsTest, SevenArgumentsEachTrimmedABlankOneAsOneBlank) {
  const TChildValues values{"  ABC  ", "O\"Brien, \xC9lise", "", "-7"};
  EXPECT_EQ(ChildArguments("461210", "7", values),
            (std::vector<std::string>{"461210", "7", "ABC", "O\"Brien, \xC9lise", " ", "-7", "1"}));
  EXPECT_EQ(ChildArguments("461210", "12", TChildValues{}),
            (std::vector<std::string>{"461210", "12", " ", " ", " ", " ", "1"}));
}

}  // namespace
