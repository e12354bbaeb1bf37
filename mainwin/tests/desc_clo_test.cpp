// The empty description batch file the build writes: its layout, and the
// order its key gives an entry's lines, as the batch writer and viewer read
// them.
#include "mainwin/tests/startup_fixture.h"
#include "platform/files.h"
#include "platform/format.h"

#include <string>
#include <utility>
#include <vector>

namespace {

class DescCloTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetBtrLayer();
    ASSERT_TRUE(CopyFile(BinDir + "/Desc.clo", TempPath("DESC01.MD"), true));
    BtrOpenFile(128, TempPath("DESC01.MD"), 0);
  }
  void TearDown() override {
    ResetBtrLayer();
    CheckedFolderTest::TearDown();
  }

  static std::string Line(const std::string& link, const std::string& letter, const std::string& text) {
    return Format("%8s%1s%-78s", link, letter, text);
  }
  // Link and letter of the record read last.
  static std::pair<std::string, std::string> KeyOf(const TDynCharArr& rec) {
    return {std::string(rec.begin() + 4, rec.begin() + 12), std::string(1, char(rec[12]))};
  }
  // The status a call of the layer fails with; 0 when it does not fail.
  template <class F>
  static int FailureStatus(F&& f) {
    try {
      f();
    } catch (const EBtrAbort& e) {
      return e.Status;
    }
    return 0;
  }
};

TEST_F(DescCloTest, TheBuildWritesTheEmptyLayout) {
  // Through a copy, as start-up takes it: the build's file stays unopened.
  EXPECT_EQ(LayoutOf(128), ExpectedDesc);
}

TEST_F(DescCloTest, LinesComeBackByLinkThenLetterAndLinkWithBlankFindsTheFirst) {
  for (const auto& [link, letter] : std::vector<std::pair<std::string, std::string>>{
           {"2", "1"}, {"10", "0"}, {"1", "A"}, {"2", "0"}, {"1", "1"}, {"1", "0"}, {"1", "9"}})
    BtrInsertRecord(128, Line(link, letter, "text of " + link + letter));

  std::vector<std::pair<std::string, std::string>> walked;
  TDynCharArr rec(128);
  bool atEnd = false;
  for (BtrGetFirst(128, rec, atEnd, false); !atEnd; BtrGetNext(128, rec, atEnd, false)) walked.push_back(KeyOf(rec));
  EXPECT_EQ(walked, (std::vector<std::pair<std::string, std::string>>{{"       1", "0"},
                                                                       {"       1", "1"},
                                                                       {"       1", "9"},
                                                                       {"       1", "A"},
                                                                       {"       2", "0"},
                                                                       {"       2", "1"},
                                                                       {"      10", "0"}}));

  ASSERT_TRUE(BtrGetGreaterLess(128, Format("%8s%1s", "2", " "), rec, atEnd, 3));
  EXPECT_EQ(KeyOf(rec), (std::pair<std::string, std::string>{"       2", "0"}));
  EXPECT_EQ(std::string(rec.begin() + 13, rec.begin() + 91), Format("%-78s", "text of 20"));
}

TEST_F(DescCloTest, ALineKeyIsUniqueAndFixed) {
  BtrInsertRecord(128, Line("1", "0", "first"));
  EXPECT_EQ(FailureStatus([] { BtrInsertRecord(128, Line("1", "0", "again")); }), 5);
  TDynCharArr rec(128);
  ASSERT_TRUE(BtrGetEqual(128, Format("%8s%1s", "1", "0"), rec, false));
  EXPECT_EQ(FailureStatus([&] { BtrUpdateRecord(128, Line("1", "1", "moved"), rec); }), 10);
  EXPECT_EQ(BtrRecordCount(128), 1);
}

}  // namespace
