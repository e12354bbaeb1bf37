// The sample office written through the real record manager: the records
// of two runs and of the model agree byte for byte, the keys order as their
// texts say, a refused or failed run leaves the folder as it was, and the
// tool's command line.
#include "templates/sample_office.h"

#include "btrieve/stat_layout.h"
#include "platform/codepage.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "testing/family_fixture.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace {

using SampleOfficeTest = FamilyDataTest;

// Name -> bytes of every file in Folder.
std::map<std::string, std::string> FolderBytes(const std::string& Folder) {
  std::map<std::string, std::string> files;
  for (const auto& e : std::filesystem::directory_iterator(Folder))
    files[e.path().filename().string()] = ReadFileBytes(e.path().string());
  return files;
}

std::vector<std::string> ReadFamilyFile(const std::string& Folder, const TFamilyFile& File, uint8_t FileNo) {
  BtrOpenFile(FileNo, Folder + "/" + std::string(File.Name), 0);
  std::vector<std::string> records = ReadRecords(FileNo);
  BtrCloseFile(FileNo);
  return records;
}

TEST_F(SampleOfficeTest, TwoRunsWriteTheModelsRecordsByteForByte) {
  const TSampleOffice office = BuildSampleOffice();
  EXPECT_EQ(office.Clients.size(), 60u);
  EXPECT_EQ(office.Cases.size(), 150u);
  EXPECT_EQ(office.Employees.size(), 12u);
  std::vector<TSampleFileCount> counts;
  std::string msg;
  ASSERT_TRUE(WriteSampleOffice(TempPath("two"), BuildSampleOffice(), counts, msg)) << msg;
  ASSERT_EQ(counts.size(), FamilyFiles().size());
  for (size_t i = 0; i < counts.size(); ++i) {
    const TFamilyFile& f = *FamilyFiles()[i];
    SCOPED_TRACE(f.Name);
    const std::vector<std::string> model = office.Records(f);
    EXPECT_EQ(counts[i].Name, f.Name);
    EXPECT_EQ(counts[i].Records, int(model.size()));
    const std::vector<std::string> one = ReadFamilyFile(SampleFolder(), f, 1);
    const std::vector<std::string> two = ReadFamilyFile(TempPath("two"), f, 2);
    EXPECT_EQ(one, two);
    ASSERT_EQ(one.size(), model.size());
    for (size_t r = 0; r < one.size(); ++r) {
      std::string expected = model[r];
      PutLE32(reinterpret_cast<uint8_t*>(expected.data()), uint32_t(r + 1));  // the engine numbers them
      ASSERT_EQ(one[r], expected) << "record " << r;
    }
  }
  // Accented names are stored as single Windows-1252 bytes.
  std::string clients;
  for (const std::string& r : office.Records(ClientFile)) clients += r;
  for (const char* accent : {"é", "ü", "ñ", "ø"}) EXPECT_NE(clients.find(Utf8ToWin1252(accent)), std::string::npos);
}

// The trimmed suffixes of File's records from the current one on while
// Client's cases follow each other.
std::vector<std::string> SuffixesOf(const std::string& Client, TDynCharArr& Rec) {
  std::vector<std::string> suffixes;
  bool atEnd = false;
  while (!atEnd && Trim(FieldText(Rec, CaseFld::Client)) == Client) {
    suffixes.push_back(Trim(FieldText(Rec, CaseFld::Suffix)));
    BtrGetNext(1, Rec, atEnd, false);
  }
  return suffixes;
}

TEST_F(SampleOfficeTest, KeyWalksFollowTheKeyTexts) {
  const TSampleOffice& office = Office();
  const std::string first = office.Clients[0].Code;
  std::vector<std::string> suffixes;
  for (const TSampleCase& k : office.Cases)
    if (k.Client == first) suffixes.push_back(k.Suffix);
  auto byText = [&](const char* format) {
    std::vector<std::string> sorted = suffixes;
    std::sort(sorted.begin(), sorted.end(),
              [&](const std::string& a, const std::string& b) { return Format(format, a) < Format(format, b); });
    return sorted;
  };
  auto before = [](const std::vector<std::string>& v, const char* a, const char* b) {
    return std::find(v.begin(), v.end(), a) < std::find(v.begin(), v.end(), b);
  };

  BtrOpenFile(1, SampleFolder() + "/ycase.qf", 0);
  TDynCharArr rec(1);
  bool atEnd = false;
  BtrSetKeyNumber(1, 1);  // client, right-justified suffix: numeric order
  ASSERT_TRUE(BtrGetGreaterLess(1, CaseKey(first, "", true), rec, atEnd, 3));
  const std::vector<std::string> numeric = SuffixesOf(first, rec);
  EXPECT_EQ(numeric, byText("%7s"));
  EXPECT_TRUE(before(numeric, "2", "12"));
  BtrSetKeyNumber(1, 4);  // client, left-justified suffix: text order
  ASSERT_TRUE(BtrGetGreaterLess(1, CaseKey(first, "", false), rec, atEnd, 3));
  const std::vector<std::string> text = SuffixesOf(first, rec);
  EXPECT_EQ(text, byText("%-7s"));
  EXPECT_TRUE(before(text, "12", "2"));

  BtrSetKeyNumber(1, 5);  // one suffix under several clients, in the order written
  ASSERT_TRUE(BtrGetEqual(1, Format("%-7s", "100"), rec, false));
  std::vector<std::string> clients;
  for (atEnd = false; !atEnd && Trim(FieldText(rec, CaseFld::SuffixLeft)) == "100"; BtrGetNext(1, rec, atEnd, false))
    clients.push_back(Trim(FieldText(rec, CaseFld::Client)));
  ASSERT_GE(clients.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(clients.begin(), clients.begin() + 3),
            (std::vector<std::string>{office.Clients[1].Code, office.Clients[2].Code, office.Clients[3].Code}));
  BtrCloseFile(1);

  // Names in any case, accents included.
  BtrOpenFile(1, SampleFolder() + "/yclient.qf", 0);
  BtrSetKeyNumber(1, 3);
  const std::string cafe = Utf8ToWin1252("Café du Nord LLC");
  ASSERT_TRUE(BtrGetEqual(1, Format("%-40s%-30s", AnsiUpperCase(cafe), ""), rec, false));
  EXPECT_EQ(FieldText(rec, ClientFld::LastName), Format("%-40s", cafe));
  BtrCloseFile(1);

  // Narratives differing only in case share a key; a grouping code under
  // both kinds sits together on key 5.
  BtrOpenFile(1, SampleFolder() + "/yTable.qf", 0);
  BtrSetKeyNumber(1, 3);
  ASSERT_TRUE(BtrGetEqual(1, CodeTableKey('n', ' ', "tel"), rec, false));
  EXPECT_EQ(FieldText(rec, CodeTableFld::Code), "TEL ");
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_EQ(FieldText(rec, CodeTableFld::Code), "Tel ");
  BtrSetKeyNumber(1, 5);
  ASSERT_TRUE(BtrGetGreaterLess(1, "CF", rec, atEnd, 3));
  EXPECT_EQ(FieldText(rec, {5, 6}), "GFCF  ");
  BtrGetNext(1, rec, atEnd, false);
  EXPECT_EQ(FieldText(rec, {5, 6}), "GXCF  ");
  BtrCloseFile(1);
}

template <class T, class P>
bool Any(const std::vector<T>& v, P p) {
  return std::any_of(v.begin(), v.end(), p);
}

TEST_F(SampleOfficeTest, TheDefaultOfficeHoldsTheCasesTheScreensMeet) {
  const TSampleOffice& o = Office();
  EXPECT_TRUE(Any(o.Clients, [](const auto& c) { return c.FirstName.empty(); }));
  EXPECT_TRUE(Any(o.Clients, [](const auto& c) { return !c.FirstName.empty(); }));
  for (size_t digits = 1; digits <= 3; ++digits)
    EXPECT_TRUE(Any(o.Cases, [&](const auto& k) {
      return k.Suffix.size() == digits && k.Suffix.find_first_not_of("0123456789") == std::string::npos;
    }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.Suffix.find_first_not_of("0123456789") != std::string::npos; }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.AltId.empty(); }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.Closed.empty(); }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return !k.Closed.empty(); }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.Opened == "000102"; }));       // 2 January 1980
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.LastPayment == "991231"; }));  // 31 December 2079
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.FeeBudget < 0; }));
  EXPECT_TRUE(Any(o.Cases, [](const auto& k) { return k.Threshold == 0; }));
  EXPECT_TRUE(Any(o.Clients, [](const auto& c) { return c.DefaultThreshold < 0; }));
  for (const char type : {'1', '2', '3', '4', '5', '6', '7', 'G', 'N'})
    EXPECT_TRUE(Any(o.Codes, [&](const auto& c) { return c.Type == type; })) << type;
  EXPECT_TRUE(Any(o.FeeSplits, [](const auto& s) { return s.CostPct == 0; }));
  EXPECT_TRUE(Any(o.CaseAddrs, [](const auto& a) { return a.Kind == 'X'; }));
  for (const TSampleCase& k : o.Cases)
    EXPECT_TRUE(Any(o.Captions, [&](const auto& c) { return c.BillFormat == k.AltBillFormat; })) << k.AltBillFormat;
}

TEST_F(SampleOfficeTest, LargerOfficesKeepTheirKeysUnique) {
  std::vector<TSampleFileCount> counts;
  std::string msg;
  ASSERT_TRUE(WriteSampleOffice(TempPath("big"), BuildSampleOffice({600, 700, 120}), counts, msg)) << msg;
  EXPECT_EQ(counts[0].Records, 600);
  EXPECT_EQ(counts[1].Records, 700);
  EXPECT_EQ(counts[2].Records, 120);
}

TEST_F(SampleOfficeTest, ARefusedRunChangesNothing) {
  const std::string folder = TempPath("refused");
  std::filesystem::create_directory(folder);
  WriteFileBytes(folder + "/YClient.QF", "not ours");
  WriteFileBytes(folder + "/notes.txt", "keep");
  const auto before = FolderBytes(folder);
  std::vector<TSampleFileCount> counts;
  std::string msg;
  EXPECT_FALSE(WriteSampleOffice(folder, Office(), counts, msg));
  EXPECT_EQ(msg, folder + " already holds YClient.QF; nothing was written.");
  EXPECT_TRUE(counts.empty());
  EXPECT_EQ(FolderBytes(folder), before);
}

TEST_F(SampleOfficeTest, AFailureRemovesOnlyWhatThisRunCreated) {
  // A second captions record for "###1" breaks the last file's unique key.
  TSampleOffice broken = Office();
  broken.Captions.push_back(broken.Captions[0]);
  const std::string folder = TempPath("kept");
  std::filesystem::create_directory(folder);
  WriteFileBytes(folder + "/notes.txt", "keep");
  const auto before = FolderBytes(folder);
  std::vector<TSampleFileCount> counts;
  std::string msg;
  EXPECT_FALSE(WriteSampleOffice(folder, broken, counts, msg));
  const std::string duplicateKey = "This record could not be written.\rBtrieve status 5.";
  EXPECT_EQ(msg.substr(0, duplicateKey.size()), duplicateKey);
  EXPECT_EQ(FolderBytes(folder), before);
  for (int fileNo = 240; fileNo <= 248; ++fileNo) EXPECT_FALSE(BtrIsFileOpen(uint8_t(fileNo)));

  EXPECT_FALSE(WriteSampleOffice(TempPath("new/sub"), broken, counts, msg));
  EXPECT_FALSE(std::filesystem::exists(TempPath("new")));
}

struct TToolRun {
  int Status = -1;
  std::string Out, Err;
};

TToolRun RunTool(const std::vector<std::string>& Args, const std::string& Scratch) {
  const std::string out = Scratch + "/tool.out", err = Scratch + "/tool.err";
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  std::vector<char*> argv{const_cast<char*>(MAKE_SAMPLE_OFFICE_PATH)};
  for (const std::string& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = -1;
  TToolRun run;
  if (posix_spawn(&pid, MAKE_SAMPLE_OFFICE_PATH, &actions, nullptr, argv.data(), environ) == 0) {
    int status = 0;
    waitpid(pid, &status, 0);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  posix_spawn_file_actions_destroy(&actions);
  run.Out = ReadFileBytes(out);
  run.Err = ReadFileBytes(err);
  return run;
}

TEST_F(SampleOfficeTest, TheToolWritesOnceAndRefusesASecondRun) {
  const std::string scratch = TempPath("");
  const std::string usage = "usage: make-sample-office FOLDER\n";
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{}, {"a", "b"}, {"-x"}, {""}, {"--help", "x"}}) {
    const TToolRun run = RunTool(args, scratch);
    EXPECT_EQ(run.Status, 2);
    EXPECT_EQ(run.Err, usage);
    EXPECT_EQ(run.Out, "");
  }
  for (const std::string help : {"--help", "-h"}) {
    const TToolRun run = RunTool({help}, scratch);
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, usage);
    EXPECT_EQ(run.Err, "");
  }

  const std::string folder = TempPath("tool/data");
  const TToolRun first = RunTool({folder}, scratch);
  EXPECT_EQ(first.Status, 0);
  EXPECT_EQ(first.Err, "");
  std::string listing;
  for (const TFamilyFile* f : FamilyFiles()) {
    const size_t n = Office().Records(*f).size();
    listing += Format("%s: %d %s\n", f->Name, int(n), n == 1 ? "record" : "records");
  }
  EXPECT_EQ(first.Out, listing);

  const auto written = FolderBytes(folder);
  const TToolRun second = RunTool({folder}, scratch);
  EXPECT_EQ(second.Status, 1);
  EXPECT_EQ(second.Err, "make-sample-office: " + folder + " already holds yclient.qf; nothing was written.\n");
  EXPECT_EQ(second.Out, "");
  EXPECT_EQ(FolderBytes(folder), written);
}

}  // namespace
