// The export of a template as a set: set numbers, refused folders, the
// components it carries (each once), the confirmation's text and a failed
// copy that leaves the folder as it was.
#include "templates/template_export.h"

#include "templates/export_set.h"
#include "templates/store_constants.h"
#include "testing/dialog_responder.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;

TEST(ExportSetNames, BuildAndParse) {
  EXPECT_EQ(ExportFileName({5, TTemplateNumber(7), TExportFileKind::MainDescriptor}), "EXP05007.DS1");
  EXPECT_EQ(ExportFileName({99, TTemplateNumber(123), TExportFileKind::SubDescriptor}), "EXP99123.DSC");
  EXPECT_EQ(ExportFileName({0, TTemplateNumber(0), TExportFileKind::DataFile}), "EXP00000.qmd");
  const struct {
    const char* Name;
    bool Valid;
  } cases[] = {{"EXP05007.DS1", true}, {"exp05007.ds1", true}, {"Exp12999.DSC", false}, {"EXP5007.DS1", false},
               {"EXP05 07.DS1", false}, {"EXP05007.DS2", false}, {"XEP05007.DS1", false}, {"EXP05007.DS1 ", false},
               {"EXP05-07.DS1", false}, {"EXP05007.QMD", true}};
  for (const auto& c : cases) EXPECT_EQ(ParseExportFileName(c.Name).has_value(), c.Valid) << c.Name;
  const auto parsed = ParseExportFileName("exp42123.qMd");
  ASSERT_TRUE(parsed);
  EXPECT_EQ(*parsed, (TExportFileName{42, TTemplateNumber(123), TExportFileKind::DataFile}));
}

class ExportTest : public TransferTest {
protected:
  void SetUp() override {
    TransferTest::SetUp();
    WorkIn("A");
    CreateMaster();
  }
  TFolderChooser Choose(const std::string& Folder) {
    return [Folder](const std::string& Prompt) -> std::optional<std::string> {
      EXPECT_EQ(Prompt, ExportFolderPrompt);
      return Folder;
    };
  }
  static std::string Simple(const std::string& Folder) {
    return "Ready to export Clients to the folder " + Folder + ".\r\rContinue?";
  }
};

TEST_F(ExportTest, SetNumberIsTheFirstFreeAndAHundredSetsAreTheLimit) {
  BuildClients();
  for (int set = 0; set < 5; ++set) WriteFileBytes(Sets() + "/" + (set == 2 ? "exp02555.ds1" : "EXP0" + std::to_string(set) + "555.DS1"), "x");
  {
    DialogResponder boxes;
    boxes.Expect(Simple(Sets()), mrYes).Expect("Your template was successfully exported!");
    EXPECT_TRUE(ExportTemplate("Clients                       ", Choose(Sets())));
  }
  EXPECT_TRUE(FileExists(Sets() + "/EXP05000.DS1"));
  EXPECT_TRUE(FileExists(Sets() + "/EXP05000.qmd"));
  EXPECT_EQ(ReadRecords(Sets() + "/EXP05000.DS1"), ReadRecords(DescriptorFileName(TTemplateNumber(0))));

  for (int set = 6; set < ExportSetLimit; ++set)
    WriteFileBytes(Sets() + "/EXP" + (set < 10 ? "0" : "") + std::to_string(set) + "001.DS1", "x");
  const Strings before = FolderNames(Sets());
  DialogResponder boxes;
  boxes.Expect("There is a limit of 100 exported templates in a folder. You have reached that limit.  You may either "
               "select a different export folder or delete some of the previously exported templates (*.ds1 files) "
               "from the current folder.");
  EXPECT_FALSE(ExportTemplate("Clients", Choose(Sets())));
  EXPECT_EQ(FolderNames(Sets()), before);
}

TEST_F(ExportTest, RefusedFoldersAndNothingSelected) {
  BuildClients();
  WriteFileBytes(Office("B") + "/MASTER.DSC", "x");
  DialogResponder boxes;
  boxes.Expect("Please highlight the template you wish to export.")
      .Expect("You may not export a template to the root directory of a drive.")
      .Expect("You may not export a template to a folder already containing a Corvenstead Matterdesk database.")
      .Expect(Simple(Sets()), mrNo);
  EXPECT_FALSE(ExportTemplate("", Choose(Sets())));
  EXPECT_FALSE(ExportTemplate("Clients", Choose("/")));
  EXPECT_FALSE(ExportTemplate("Clients", Choose(Office("B"))));
  EXPECT_FALSE(ExportTemplate("Clients", Choose(Sets())));
  EXPECT_FALSE(ExportTemplate("Clients", [](const std::string&) { return std::nullopt; }));
  EXPECT_EQ(FolderNames(Sets()), Strings{});
}

TEST_F(ExportTest, MissingTemplateIsReported) {
  DialogResponder boxes;
  boxes.Expect("Unable to find 'Gone'." + ContactMsg);
  EXPECT_FALSE(ExportTemplate("Gone", Choose(Sets())));
}

// Sub-template 100 named twice, the template itself once, list 4 twice and
// a list whose file is missing: each component copied once, the missing
// list reported and the export completed.
TEST_F(ExportTest, ComponentsAreCopiedOnceAndAMissingListDoesNotStopIt) {
  FillNumbers(0, 99);
  BuildClients();  // 100
  WriteList(4, "Kinds");
  BuildMatters(100, 101, 4);  // 101, looking up itself
  DialogResponder boxes;
  boxes.Expect("Ready to export Matters and the associated components:\r\r\tSub Template:  Clients\r\r\tUser List:  "
               "Kinds\rto the folder " + Sets() + ".      Continue?",
               mrYes)
      .Expect("Your template was successfully exported!");
  EXPECT_TRUE(ExportTemplate("Matters", Choose(Sets())));
  EXPECT_EQ(FolderNames(Sets()), (Strings{"4.lst", "EXP00100.DSC", "EXP00100.qmd", "EXP00101.DS1", "EXP00101.qmd"}));
  EXPECT_EQ(ReadFileBytes(Sets() + "/4.lst"), ReadFileBytes(Office("A") + "/4.lst"));

  // The list gone from the data folder: listed by its file name, reported, the rest exported.
  std::filesystem::remove(Office("A") + "/4.lst");
  DialogResponder again;
  again.Expect("Ready to export Matters and the associated components:\r\r\tSub Template:  Clients\r\r\tUser List:  "
               "4.lst\rto the folder " + Office("B") + ".      Continue?",
               mrYes)
      .Expect("Unable to copy user list " + Office("A") + "\\4.lst." + "\r\r" +
              "This will not prevent the rest of your export operation from completing." + ContactMsg)
      .Expect("Your template was successfully exported!");
  EXPECT_TRUE(ExportTemplate("Matters", Choose(Office("B"))));
  EXPECT_EQ(FolderNames(Office("B")), (Strings{"EXP00100.DSC", "EXP00100.qmd", "EXP00101.DS1", "EXP00101.qmd"}));
}

TEST_F(ExportTest, FailedTemplateCopyRemovesWhatTheExportWrote) {
  BuildClients();     // 0
  WriteList(4, "Kinds");
  BuildMatters(0, 1, 4);  // 1
  WriteFileBytes(Sets() + "/EXP00000.qmd", "in the way");
  DialogResponder boxes;
  boxes.Answer(mrYes).Expect("Unable to copy " + DataFileName(TTemplateNumber(0)) + "." + ContactMsg);
  EXPECT_FALSE(ExportTemplate("Matters", Choose(Sets())));
  EXPECT_EQ(FolderNames(Sets()), Strings{"EXP00000.qmd"});
  EXPECT_EQ(ReadFileBytes(Sets() + "/EXP00000.qmd"), "in the way");
}

}  // namespace
