// The built-in e-mail templates' descriptors, the pair search and the
// workstation file.
#include "templates/email_templates.h"

#include "platform/format.h"
#include "templates/descriptor_codec.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

namespace {

std::string AsRecord(const std::string& text) { return std::string(4, '\0') + text; }

struct Row {
  int seq;
  std::string name;
  int width;
  int offset;
};

// The tables as the product ships them: the key fields, then names and
// addresses alternating from sequence number FirstSeq.
std::vector<Row> Rows(std::vector<Row> rows, const std::array<int, 8>& names, const std::array<int, 8>& addresses,
                      int addressWidth) {
  const int firstSeq = int(rows.size()) + 1;
  for (int k = 0; k < 8; ++k) {
    rows.push_back({firstSeq + 2 * k, "Name " + std::to_string(k + 1), 35, names[size_t(k)]});
    rows.push_back({firstSeq + 1 + 2 * k, "Address " + std::to_string(k + 1), addressWidth, addresses[size_t(k)]});
  }
  return rows;
}

std::vector<Row> ClientRows() {
  return Rows({{1, "Client code", 7, 5}}, {12, 92, 172, 252, 332, 412, 492, 572},
              {47, 127, 207, 287, 367, 447, 527, 607}, 45);
}

std::vector<Row> MatterRows() {
  return Rows({{1, "Client code", 7, 5}, {2, "Case suffix", 7, 12}}, {19, 94, 169, 244, 319, 394, 469, 544},
              {54, 129, 204, 279, 354, 429, 504, 579}, 40);
}

void ExpectFields(const std::vector<std::string>& texts, const std::vector<Row>& rows, int dataLength) {
  ASSERT_EQ(texts.size(), rows.size() + 1);
  int end = 0;
  for (size_t i = 0; i < rows.size(); ++i) {
    SCOPED_TRACE(rows[i].name);
    ASSERT_EQ(texts[i].size(), size_t(DscTextLength));
    const TFld f = ParseFieldRecord(AsRecord(texts[i]));
    EXPECT_EQ(f.SeqNo, rows[i].seq);
    EXPECT_EQ(f.FldId, rows[i].seq);
    EXPECT_EQ(f.Name, rows[i].name);
    EXPECT_EQ(f.Width, rows[i].width);
    EXPECT_EQ(f.KeyWidth, rows[i].width);
    EXPECT_EQ(f.FldType, 'C');
    EXPECT_EQ(f.Offset, rows[i].offset);
    end = std::max(end, f.Offset + f.Width - 1);
    if (rows[i].name.rfind("Name", 0) == 0 || rows[i].name.rfind("Address", 0) == 0) {
      EXPECT_EQ(texts[i].substr(80, 6) + texts[i].substr(110, 1), "NNNNN N") << "flags, no lookup, not forced";
      EXPECT_EQ(f.IdxCount, 0);
    }
  }
  // The data record: the prefix, the fields and the 8-byte date stamp.
  EXPECT_EQ(end + 8, dataLength);
}

TEST(EmailDescriptors, ClientRowsFormatTheShippedTable) {
  const std::vector<std::string> texts = EmailDescriptorTexts(TEmailTemplate::Client);
  ExpectFields(texts, ClientRows(), 659);
  const std::string& key = texts[0];
  EXPECT_EQ(key.substr(80, 6), "YYYNYL");
  EXPECT_EQ(key.substr(97, 13), "A  0  1      ");
  EXPECT_EQ(key.substr(110, 10), "Y  1  5  7");
  EXPECT_EQ(key.substr(454, 1) + key.substr(459, 1), "11");
  const std::string& index = texts.back();
  EXPECT_EQ(index.substr(0, 66), "K1" + Format("%-26s", "Client code") + " 1    UQ" + Format("%-30s", "Client e-mail"));
  EXPECT_EQ(index.substr(464, 2), "K1");
}

TEST(EmailDescriptors, MatterIndexRecordIsTaggedK2AndFoundAsK1) {
  const std::vector<std::string> texts = EmailDescriptorTexts(TEmailTemplate::Matter);
  ExpectFields(texts, MatterRows(), 626);
  EXPECT_EQ(texts[1].substr(80, 6), "YYYYYL");
  EXPECT_EQ(texts[1].substr(97, 13), "B 22 80      ");
  EXPECT_EQ(texts[1].substr(110, 4), "Y 80");
  EXPECT_EQ(texts[1].substr(454, 1) + texts[1].substr(459, 1), "12");
  const std::string& index = texts.back();
  EXPECT_EQ(index.substr(0, 66), "K2" + Format("%-26s", "matter suffix") + " 1 2  UQ" + Format("%-30s", "Matter e-mail"));
  EXPECT_EQ(index.substr(464, 2), "K1");
  EXPECT_EQ(index.find_first_not_of(' ', 66), 464u);
}

TEST(EmailNumbers, PadTemplateNumbers) {
  EXPECT_EQ(PadTemplateNumbers(7, 8), std::make_pair(std::string("007"), std::string("008")));
  EXPECT_EQ(PadTemplateNumbers(0, 1), std::make_pair(std::string("000"), std::string("001")));
  EXPECT_EQ(PadTemplateNumbers(997, 998), std::make_pair(std::string("997"), std::string("998")));
}

class EmailPairTest : public StoreFilesTest {};

TEST_F(EmailPairTest, FirstTwoFreeNumbersSideBySide) {
  struct Case {
    std::vector<int> master;
    std::vector<int> files;  // descriptors lying in the folder
    int pair;                // -1: none
  };
  std::vector<int> allButTop;
  for (int n = 0; n <= 996; ++n) allButTop.push_back(n);
  const std::vector<Case> cases{
      {{}, {}, 0},
      {{0, 2}, {}, 3},
      {{1}, {}, 2},
      {{0, 2}, {4}, 5},
      {{}, allButTop, 997},
      {{}, [&] { auto v = allButTop; v.push_back(998); return v; }(), -1},
      {{3}, [&] { auto v = allButTop; v.push_back(998); v.erase(v.begin() + 2, v.begin() + 4); return v; }(), -1},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(i);
    ScopedTempDir folder;
    Store.DataDir = folder.path().string();
    CreateMasterWith(cases[i].master);
    for (int n : cases[i].files) WriteFileBytes(folder.path() / ("MNGR" + TTemplateNumber(n).ZeroFilled() + ".DSC"), "");
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    int pair = -7;
    const bool found = FindEmailTemplatePair(pair);
    BtrCloseFile(MasterFileNo);
    EXPECT_EQ(found ? pair : -1, cases[i].pair);
    CheckRecordFiles(folder.path());
  }
}

class ClcaTest : public StoreFilesTest {
protected:
  std::string File() { return ReadFileBytes(TempPath("CLCA.IDX")); }
};

TEST_F(ClcaTest, LinesAreAddedOnceAndNeverReplaced) {
  EXPECT_EQ(ClcaLine("A", 7, 12), "A   7 12");
  EXPECT_EQ(ClcaLine("AB", 0, 1), "AB  0  1");
  EXPECT_FALSE(ClcaIndexHasWorkstation("A"));
  ASSERT_TRUE(WriteClcaIndex("A", ClcaLine("A", 0, 1)));
  EXPECT_EQ(File(), "A   0  1\r\n");
  // A one-character id is found again: no second line.
  EXPECT_TRUE(ClcaIndexHasWorkstation("A"));
  ASSERT_TRUE(WriteClcaIndex("A", ClcaLine("A", 5, 6)));
  EXPECT_FALSE(ClcaIndexHasWorkstation("AB"));
  EXPECT_FALSE(ClcaIndexHasWorkstation("B"));
  ASSERT_TRUE(WriteClcaIndex("AB", "AB  5  6"));
  EXPECT_EQ(File(), "A   0  1\r\nAB  5  6\r\n");
  EXPECT_FALSE(CreateClcaIndex("XY  1  2"));
  EXPECT_EQ(File(), "A   0  1\r\nAB  5  6\r\n");
}

TEST_F(ClcaTest, LinefeedFilesAreReadAndAppendedAfterTheirLastLine) {
  WriteFileBytes(TempPath("clca.idx"), "ZZ  3  4\nQ   1  2");
  EXPECT_TRUE(ClcaIndexHasWorkstation("ZZ"));
  EXPECT_TRUE(ClcaIndexHasWorkstation("Q"));
  ASSERT_TRUE(WriteClcaIndex("B", ClcaLine("B", 0, 1)));
  EXPECT_EQ(ReadFileBytes(TempPath("clca.idx")), "ZZ  3  4\nQ   1  2\r\nB   0  1\r\n");
}

}  // namespace
