// Template numbers and master records on a real master file.
#include "templates/master_file.h"

#include "btrieve/tests/expect_btr_abort.h"
#include "platform/files.h"
#include "templates/master_codec.h"
#include "testing/dialog_responder.h"
#include "testing/expect_message.h"
#include "testing/piped_process.h"
#include "testing/store_files_fixture.h"
#include "testing/temp_dir.h"

#include <gtest/gtest.h>

#include <numeric>
#include <string>
#include <vector>

namespace {

using MasterFileTest = StoreFilesTest;

std::vector<int> Range(int from, int to) {
  std::vector<int> values(size_t(to - from + 1));
  std::iota(values.begin(), values.end(), from);
  return values;
}

std::vector<int> Values(const std::vector<TTemplateNumber>& numbers) {
  std::vector<int> values;
  for (const TTemplateNumber& n : numbers) values.push_back(n.Value());
  return values;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const FileEntry& e : FindFiles(folder + "\\*.*")) names.push_back(e.Name);
  return names;
}

TEST_F(MasterFileTest, TheLowestFreeNumberWithTheMasterHeldExclusivelyOnKeyTwo) {
  CreateMasterWith({0, 1, 2, 3, 4, 6});
  // Whatever file 1 was, the master replaces it.
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  TDynCharArr buf;
  EXPECT_EQ(NextTemplateNumber(buf).Value(), 5);
  ASSERT_TRUE(BtrIsFileOpen(MasterFileNo));
  EXPECT_EQ(FileSlots[MasterFileNo].FileName, MasterFileName());
  EXPECT_EQ(BtrGetKeyNumber(MasterFileNo), 2);
  EXPECT_EQ(buf.size(), size_t(MasterRecordLength));
  // The caller inserts into the file left open, and the next search skips it.
  EXPECT_EQ(InsertMasterRecord("005", "Five"), "005");
  EXPECT_EQ(NextTemplateNumber(buf).Value(), 7);
}

TEST_F(MasterFileTest, AnotherWorkstationCannotOpenTheMasterWhileTheSearchHoldsIt) {
  CreateMasterWith({0});
  TDynCharArr buf;
  EXPECT_EQ(NextTemplateNumber(buf).Value(), 1);
  PipedProcess peer(LAYER_PEER_PATH);
  EXPECT_EQ(peer.Ask("open 1 0 " + ResolvePath(MasterFileName())), "error 85");
  BtrCloseFile(MasterFileNo);
  EXPECT_EQ(peer.Ask("open 1 0 " + ResolvePath(MasterFileName())), "ok");
}

TEST_F(MasterFileTest, FilesOfATemplateLeftInTheFolderTakeTheirNumber) {
  struct Case {
    const char* file;
    bool takes;
  };
  const Case cases[] = {
      {"MNGR000.DSC", true},   {"mngr000.dsc", true},   {"MNGR000.DSX", true},   {"Mngr000.dsx", true},
      {"MGRDT000.QMD", true},  {"mgrdt000.qmd", true},  {"MGRDT000.QMX", true},  {"mgrdt000.qmx", true},
      {"MNGR000.DSA", false},  {"MNGR00.DSC", false},   {"MNGR0000.DSC", false}, {"MNGR000.DSC.lck", false},
      {"XMNGR000.DSC", false}, {"MGRDT000.DSC", false}, {"MNGR000.QMD", false},  {"MNGR00A.DSC", false},
  };
  CreateMasterWith({1});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    WriteFileBytes(Temp / c.file, "left behind");
    TDynCharArr buf;
    EXPECT_EQ(NextTemplateNumber(buf).Value(), c.takes ? 2 : 0);
    ASSERT_TRUE(DeleteFile(Temp / c.file));
  }
}

TEST_F(MasterFileTest, EveryFormOfANumberIsStoredAsTheKeyHoldsIt) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  const struct {
    const char* given;
    const char* name;
    const char* stored;
    const char* result;
  } forms[] = {{"7", "Trimmed", "  7", "007"}, {"012", "Zero-filled", " 12", "012"}, {" 30", "Stored", " 30", "030"}};
  for (const auto& f : forms) EXPECT_EQ(InsertMasterRecord(f.given, f.name), f.result);

  std::vector<std::string> texts;
  for (const std::string& r : Records(MasterFileNo, 2)) texts.push_back(MasterText(r));
  EXPECT_EQ(texts, (std::vector<std::string>{"Trimmed                         7", "Zero-filled                    12",
                                             "Stored                         30"}));
  // Another form of a number already given meets the same key.
  for (const char* again : {"007", "  7", " 07"})
    ExpectBtrAbort([&] { InsertMasterRecord(again, "Again"); },
                   "This record could not be written.\r" + BtrStatusTail(5), 5);
  TDynCharArr buf(MasterRecordLength);
  EXPECT_FALSE(IsTemplateNumberFree(TTemplateNumber::Parse("012"), {}, buf));
  EXPECT_TRUE(IsTemplateNumberFree(TTemplateNumber::Parse("13"), {}, buf));
}

TEST_F(MasterFileTest, InsertRefusesWhatTheRecordCannotHold) {
  CreateMaster();
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  const std::string thirty(30, '\xE9');
  EXPECT_EQ(InsertMasterRecord("12", thirty), "012");
  EXPECT_EQ(MasterText(Records(MasterFileNo, 1).at(0)), thirty + " 12");

  ExpectMessage<EConvertError>([] { InsertMasterRecord("999", "Limit"); },
                               "'999' is not a template number (0 to 998).");
  ExpectMessage<EConvertError>([] { InsertMasterRecord("0x7", "Hex"); }, "'0x7' is not a template number (0 to 998).");
  ExpectMessage<EConvertError>([] { InsertMasterRecord("", "Empty"); }, "'' is not a template number (0 to 998).");
  ExpectMessage<EMasterRecordError>([&] { InsertMasterRecord("13", thirty + "x"); },
                                    "The template name \"" + thirty + "x\" is longer than 30 characters.");
  ExpectBtrAbort([&] { InsertMasterRecord("14", thirty); },
                 "This record could not be written.\r" + BtrStatusTail(5), 5);
  EXPECT_EQ(BtrRecordCount(MasterFileNo), 1);
}

TEST_F(MasterFileTest, SeveralNumbersAscendingFromTheOpenMaster) {
  CreateMasterWith({0, 1, 3, 6});
  WriteFileBytes(Temp / "MGRDT004.QMX", "cut import");
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  TDynCharArr buf;
  EXPECT_EQ(Values(NextTemplateNumber(buf, 3)), (std::vector<int>{2, 5, 7}));
  EXPECT_EQ(Values(NextTemplateNumber(buf, 0)), std::vector<int>{});
  EXPECT_EQ(BtrGetKeyNumber(MasterFileNo), 2);
  BtrCloseFile(MasterFileNo);
  ExpectBtrAbort([&] { NextTemplateNumber(buf, 1); }, "Filenumber 1 is not valid!", 0);
}

TEST_F(MasterFileTest, NineHundredNinetyNineIsNeverGiven) {
  CreateMasterWith(Range(0, 997));
  TDynCharArr buf;
  EXPECT_EQ(NextTemplateNumber(buf).Value(), 998);
  InsertMasterRecord("998", "The last");
  const std::vector<std::string> before = FolderNames(Store.DataDir);
  DialogResponder boxes;
  boxes.Expect(
      "You have reached your limit of 999 templates!\rYou must delete at least 1 existing template to create a new one.",
      mrOk);
  ExpectMessage<EAbort>([&] { NextTemplateNumber(buf); }, "");
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].type, mtError);
  EXPECT_EQ(boxes.Boxes()[0].buttons, mbOKOnly);
  EXPECT_TRUE(BtrIsFileOpen(MasterFileNo));  // still the caller's to close
  EXPECT_EQ(FolderNames(Store.DataDir), before);
}

TEST_F(MasterFileTest, SeveralNumbersNeedOneMoreFreeThanAskedFor) {
  CreateMasterWith(Range(0, 994));  // 995..998 free
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  TDynCharArr buf;
  EXPECT_EQ(Values(NextTemplateNumber(buf, 3)), (std::vector<int>{995, 996, 997}));
  DialogResponder boxes;
  boxes.Expect(TemplateLimitMsg, mrOk);
  ExpectMessage<EAbort>([&] { NextTemplateNumber(buf, 4); }, "");
  ExpectMessage<EConvertError>([&] { NextTemplateNumber(buf, -1); }, "-1 template numbers cannot be given.");
}

}  // namespace
