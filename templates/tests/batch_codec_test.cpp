// The batch records against golden bytes: hours packed from every shape of
// text, whole TRIN records for short and long workstation ids, description
// lines of 0, 1, 36 and 40 pieces; values too long refused; the viewer's
// hours text; the batch's file names; the journal's text both ways.
#include "templates/batch_codec.h"
#include "templates/batch_journal.h"

#include "platform/errors.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int x : b) s += char(x);
  return s;
}

TEST(BatchCodecTest, HoursPackAsSevenDigitsOfHundredths) {
  const struct {
    std::string text;
    std::string packed;
  } cases[] = {
      {"7", Bytes({0x00, 0x00, 0x70, 0x0F})},
      {" 12.5 ", Bytes({0x00, 0x01, 0x25, 0x0F})},
      {"12.34", Bytes({0x00, 0x01, 0x23, 0x4F})},
      {"12.345", Bytes({0x00, 0x01, 0x23, 0x4F})},  // a third decimal is cut
      {".5", Bytes({0x00, 0x00, 0x05, 0x0F})},
      {"5.", Bytes({0x00, 0x00, 0x50, 0x0F})},  // 5 hours, not 0.05
      {"0", Bytes({0x00, 0x00, 0x00, 0x0F})},
      {"0.00", Bytes({0x00, 0x00, 0x00, 0x0F})},
      {"99999.99", Bytes({0x99, 0x99, 0x99, 0x9F})},
      {"0099999.99", Bytes({0x99, 0x99, 0x99, 0x9F})},
  };
  for (const auto& c : cases) EXPECT_EQ(PackHours(c.text), c.packed) << c.text;
  for (const std::string bad : {"", " ", ".", "-0.00", "-1", "1,5", "1.5h", "1.2.3", "100000", "+1"}) {
    EXPECT_THROW(PackHours(bad), EConvertError) << bad;
  }
}

TEST(BatchCodecTest, PackedHoursShowWithoutLeadingZerosAndZeroAsZeroPointZeroZero) {
  const struct {
    std::string packed;
    std::string text;
    int64_t hundredths;
  } cases[] = {
      {Bytes({0x00, 0x00, 0x00, 0x0F}), "        0.00", 0},
      {Bytes({0x00, 0x00, 0x05, 0x0F}), "         .50", 50},
      {Bytes({0x00, 0x01, 0x25, 0x0F}), "       12.50", 1250},
      {Bytes({0x99, 0x99, 0x99, 0x9F}), "    99999.99", 9999999},
      {Bytes({0x00, 0x00, 0x70, 0x0F}), "        7.00", 700},
      {Bytes({0x00, 0x00, 0x02, 0x5D}), "        -.25", -25},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(PackedHoursToText(c.packed), c.text);
    EXPECT_EQ(PackedHoursToHundredths(c.packed), c.hundredths);
  }
}

class BatchRecordTest : public ::testing::Test {
protected:
  void SetUp() override {
    Store.Reset();
    Startup.Reset();
    Store.DataDir = "\\mddata";
  }
  void TearDown() override {
    Store.Reset();
    Startup.Reset();
  }
};

TEST_F(BatchRecordTest, TrinRecordGoldenBytes) {
  const TBatchEntryFields entry{"ACME", "12", "261211", "CF", "JD", "12.5"};
  const std::string zero6 = Bytes({0, 0, 0, 0, 0, 0x0F});
  const std::string expected = std::string("ACME   ") + "     12" + "F" + "261211" + " " + "261211" + " " + "CF    " +
                               "JD  " + Bytes({0x00, 0x01, 0x25, 0x0F}) + zero6 + "JD  " +
                               Bytes({0x00, 0x01, 0x25, 0x0F}) + zero6 + zero6 + zero6 + zero6 + zero6 + zero6 + zero6 +
                               "      17" + "     " + Bytes({0, 0, 0, 0x0F}) + "+++++++";
  ASSERT_EQ(expected.size(), size_t(TrinRecLen - 4));
  EXPECT_EQ(FormatTrinRecord(entry, 17), expected);

  const TBatchEntryFields full{"1234567", "ABCDEFG", "991231", "GROUP6", "EMPL", "99999.99"};
  const std::string record = FormatTrinRecord(full, 12345678);
  EXPECT_EQ(record.substr(0, 39), "1234567ABCDEFGF991231 991231 GROUP6EMPL");
  EXPECT_EQ(record.substr(99, 8), "12345678");
}

TEST_F(BatchRecordTest, ValuesLongerThanTheirFieldsAreRefusedNotShifted) {
  const TBatchEntryFields good{"ACME", "12", "261211", "CF", "JD", "1"};
  const struct {
    TBatchEntryFields entry;
    std::string message;
  } cases[] = {
      {{"ACME1234", "12", "261211", "CF", "JD", "1"}, "The client code 'ACME1234' is longer than its 7 characters."},
      {{"ACME", "12345678", "261211", "CF", "JD", "1"}, "The case suffix '12345678' is longer than its 7 characters."},
      {{"ACME", "12", "261211", "GROUP67", "JD", "1"}, "The grouping code 'GROUP67' is longer than its 6 characters."},
      {{"ACME", "12", "261211", "CF", "JDOE5", "1"}, "The employee code 'JDOE5' is longer than its 4 characters."},
      {{"ACME", "12", "26121", "CF", "JD", "1"}, "'26121' is no file date."},
      {{"ACME", "12", "261211", "CF", "JD", "x"}, "'x' is not a number of hours."},
  };
  for (const auto& c : cases) {
    try {
      FormatTrinRecord(c.entry, 1);
      ADD_FAILURE() << c.message;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message, c.message);
    }
  }
  EXPECT_THROW(FormatTrinRecord(good, 123456789), EConvertError);
}

TEST_F(BatchRecordTest, DescriptionLinesOf78BytesLetteredUpTo36) {
  const auto text = [](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char('a' + i % 26);
    return s;
  };
  EXPECT_TRUE(FormatDescLines(3, "").empty());

  const std::vector<std::string> one = FormatDescLines(3, "Call with client\r\nre: lease");
  ASSERT_EQ(one.size(), 1u);
  EXPECT_EQ(one[0], "       30Call with client\r\nre: lease" + std::string(78 - 27, ' '));

  const std::vector<std::string> two = FormatDescLines(1, text(79));
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0], "       10" + text(78));
  EXPECT_EQ(two[1], "       11" + std::string(1, text(79)[78]) + std::string(77, ' '));

  const std::vector<std::string> full = FormatDescLines(12, text(36 * 78));
  ASSERT_EQ(full.size(), 36u);
  EXPECT_EQ(full[35].substr(0, 9), "      12Z");
  EXPECT_EQ(full[9].substr(8, 1), "9");
  EXPECT_EQ(full[10].substr(8, 1), "A");

  const std::vector<std::string> cut = FormatDescLines(12, text(40 * 78));
  EXPECT_EQ(cut, full);
  for (const std::string& line : cut) EXPECT_EQ(line.size(), size_t(DescRecLen - 4));

  // The viewer's join: every piece as stored, the last one's blanks cut.
  std::vector<std::string> pieces;
  for (const std::string& line : FormatDescLines(1, "x" + std::string(77, ' ') + "y ")) {
    const std::string record = std::string(4, '\0') + line;
    EXPECT_EQ(DescLinkOf(record), "       1");
    pieces.push_back(DescPieceOf(record));
  }
  EXPECT_EQ(JoinDescPieces(pieces), "x" + std::string(77, ' ') + "y");
  EXPECT_EQ(JoinDescPieces({"ends with a break\r\n  "}), "ends with a break\r\n");
}

TEST_F(BatchRecordTest, NamesOfEveryBatchFileForShortAndLongIds) {
  for (const std::string wsid : {"7", "01"}) {
    Startup.WSID = wsid;
    EXPECT_EQ(TrinFileName(), "\\mddata\\TRIN" + wsid + ".MD");
    EXPECT_EQ(DescFileName(), "\\mddata\\DESC" + wsid + ".MD");
    EXPECT_EQ(TrinCloneFileName(), "\\mddata\\TRIN" + wsid + ".clo");
    EXPECT_EQ(TrinBackupFileName(1), "\\mddata\\MDback\\trin" + wsid + ".001");
    EXPECT_EQ(DescBackupFileName(0xFFF), "\\mddata\\MDback\\DESC" + wsid + ".FFF");
    EXPECT_EQ(DescBackupFileName(0x2A), "\\mddata\\MDback\\DESC" + wsid + ".02A");
    EXPECT_EQ(PartName(ExportedTrinName("\\out")), "\\out\\TRIN" + wsid + ".MD.part");
    EXPECT_EQ(ExportedDescName("\\out"), "\\out\\DESC" + wsid + ".MD");
    EXPECT_EQ(BatchJournalFileName(), "\\mddata\\Batch" + wsid + ".jnl");
    EXPECT_EQ(BatchLockFileName(), "\\mddata\\Batch" + wsid + ".lck");
  }
  EXPECT_EQ(FormatBatchLink(1), "       1");
  EXPECT_EQ(ParseBatchLink("      42"), 42);
  EXPECT_EQ(ParseBatchLink("        "), 0);
  EXPECT_EQ(DescFirstLineKey("       4"), "       4 ");
}

TEST(BatchJournalTest, TextBothWaysAndAnythingElseRefused) {
  const auto journal = [](TBatchJournalState state, int backup, const std::string& folder) {
    TBatchJournal j;
    j.State = state;
    j.Backup = backup;
    j.Folder = folder;
    return j;
  };
  const std::vector<std::pair<TBatchJournal, std::string>> cases = {
      {journal(TBatchJournalState::Prepared, 1, "\\export dir"), "PREPARED\r\n001\r\n\\export dir\r\n"},
      {journal(TBatchJournalState::Committed, 0xFFF, "/x"), "COMMITTED\r\nFFF\r\n/x\r\n"},
      {journal(TBatchJournalState::Erasing, 0, ""), "ERASING\r\n"},
  };
  for (const auto& [written, text] : cases) {
    EXPECT_EQ(FormatBatchJournal(written), text);
    TBatchJournal read;
    ASSERT_TRUE(ParseBatchJournal(text, read)) << text;
    EXPECT_EQ(read, written);
  }
  const TBatchJournal before = journal(TBatchJournalState::Committed, 5, "kept");
  for (const std::string bad : {"", "ERASING", "ERASING\r\nx\r\n", "PREPARED\r\n000\r\n\\x\r\n",
                                "PREPARED\r\n1000\r\n\\x\r\n", "PREPARED\r\n00g\r\n\\x\r\n", "PREPARED\r\n001\r\n\r\n",
                                "DONE\r\n001\r\n\\x\r\n", "PREPARED\r\n001\r\n\\x"}) {
    TBatchJournal read = before;
    EXPECT_FALSE(ParseBatchJournal(bad, read)) << bad;
    EXPECT_EQ(read, before);
  }
}

}  // namespace
