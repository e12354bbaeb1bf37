// The import of an export set into another office: new numbers, a name
// clash answered, cancelled or answered with a taken name, the references
// and list targets rewritten, and every way out before the commit (a
// cancel, No, a failure at any file step) leaving the office as it was.
#include "templates/template_import.h"

#include "platform/fault_point.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/export_set.h"
#include "templates/set_lookups.h"
#include "templates/store_constants.h"
#include "templates/template_export.h"
#include "testing/dialog_responder.h"
#include "transfer_fixture.h"

#include <gtest/gtest.h>

#include <deque>

namespace {

using Strings = std::vector<std::string>;

// Every box answered OK (Yes for a question): what a failure shows varies
// with the step that failed.
class AnyBoxes : public DialogService {
public:
  AnyBoxes() : previous_(SetDialogService(this)) {}
  ~AnyBoxes() override { SetDialogService(previous_); }
  int MessageDlg(const std::string&, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    return HasButton(buttons, mbYes) ? mrYes : mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }

private:
  DialogService* previous_;
};

const std::string OutsideWarning =
    "WARNING                     WARNING                      WARNING\r\rThe imported template 'Matters' refers to a "
    "template that is not being imported.\rPlease contact Ondral, Inc. as soon as possible to resolve this problem.\r"
    "Until this problem is resolved, the template 'Matters' will not function properly. \rYour import operation will "
    "continue after this window is closed.";

const std::string Clash = "Importing template Clients.  Name already in use.  Please assign a new name.";

class ImportTest : public TransferTest {
protected:
  // Office A exports Matters (101) with Clients (100) and list 4; office B
  // holds templates 0..2, one of them named Clients, and list 1.
  void SetUp() override {
    TransferTest::SetUp();
    MakeOfficeA();
    {
      DialogResponder boxes;
      boxes.Answer(mrYes).Answer(mrOk);
      ASSERT_TRUE(ExportTemplate("Matters", [this](const std::string&) { return Sets(); }));
    }
    WorkIn("B");
    CreateMaster();
    BuildClients("Clients");  // 0
    BuildClients("Other");    // 1
    DialogResponder boxes;
    std::string msg;
    ASSERT_TRUE(CreateUserListFile(Office("B"), msg)) << msg;
    ResetBtrLayer();
  }

  std::string Chosen() const { return Sets() + "\\EXP00101.DS1"; }

  // Answers in order; nothing left means Cancel.
  TNameAsker Answers(std::deque<std::optional<std::string>> Names) {
    return [this, Names](const std::string& Caption) mutable -> std::optional<std::string> {
      asked.push_back(Caption);
      if (Names.empty()) return std::nullopt;
      auto a = Names.front();
      Names.pop_front();
      return a;
    };
  }

  bool Import(std::deque<std::optional<std::string>> Names) {
    TTemplateImport import(Chosen(), Answers(std::move(Names)));
    return import.Run();
  }

  static std::string Confirm() { return "Ready to import template(s):\r\tMatters\r\tNew clients\r\rContinue?"; }
  static std::string ListAdded() {
    return "The list Kinds has been successfully imported.\r\rSelect it from the drop down list to view it.";
  }

  // Field records of descriptor Number as texts, key-1 order.
  std::vector<std::string> Fields(int Number) {
    std::vector<std::string> out;
    for (const std::string& t : TextsOfFile(DescriptorFileName(TTemplateNumber(Number)))) out.push_back(t);
    ResetBtrLayer();
    return out;
  }

  Strings asked;
};

TEST_F(ImportTest, NameClashAnsweredImportsEverythingRewritten) {
  {
    DialogResponder boxes;
    boxes.Expect(Confirm(), mrYes).Expect(ListAdded());
    // A taken name, a blank one and one over 30 bytes are asked for again.
    EXPECT_TRUE(Import({"Other", "  ", std::string(31, 'x'), "New clients"}));
  }
  EXPECT_EQ(asked, Strings(4, Clash));
  ResetBtrLayer();
  // Matters was set 101 -> 2, Clients 100 -> 3 (the main template first).
  EXPECT_EQ(TextsOfFile(MasterFileName()),
            (Strings{FormatMasterText("Clients", TTemplateNumber(0)), FormatMasterText("Matters", TTemplateNumber(2)),
                     FormatMasterText("New clients", TTemplateNumber(3)),
                     FormatMasterText("Other", TTemplateNumber(1))}));
  const std::vector<std::string> fields = Fields(2);
  // Client, Client 2 -> 3; Parent (the self-lookup) -> 2; Kind, Kind 2 ->
  // list 1, the first number B gives.
  EXPECT_EQ(TextRange(fields[1], DscField::LkpTarget), "MNGR003.DSC");
  EXPECT_EQ(TextRange(fields[2], DscField::LkpTarget), "MNGR003.DSC");
  EXPECT_EQ(TextRange(fields[3], DscField::LkpTarget), "MNGR002.DSC");
  EXPECT_EQ(TextRange(fields[4], DscField::LkpTarget), "1.lst      ");
  EXPECT_EQ(TextRange(fields[5], DscField::LkpTarget), "1.lst      ");
  EXPECT_EQ(TextRange(Fields(3).back(), DscIndex::TplName), Format("%-30s", "New clients"));
  // The records come along byte for byte.
  const std::vector<std::string> records = ReadRecords(DataFileName(TTemplateNumber(2)));
  EXPECT_EQ(records.size(), 2u);
  EXPECT_EQ(records, ReadRecords(Office("A") + "/MGRDT101.QMD"));
  EXPECT_EQ(FolderNames(Office("B")),
            (Strings{"1.lst", "Lists.usr", "master.dsc", "MGRDT000.QMD", "MGRDT001.QMD", "MGRDT002.QMD", "MGRDT003.QMD",
                     "MNGR000.DSC", "MNGR001.DSC", "MNGR002.DSC", "MNGR003.DSC"}));
}

TEST_F(ImportTest, CancelAtTheNameOrNoAtTheConfirmationLeavesTheOfficeAsItWas) {
  const std::string before = Snapshot("B");
  {
    DialogResponder boxes;
    boxes.Expect("User cancelled import process: Template name already exists and new name not provided.");
    EXPECT_FALSE(Import({}));
  }
  EXPECT_EQ(Snapshot("B"), before);
  {
    DialogResponder boxes;
    boxes.Expect(Confirm(), mrNo);
    EXPECT_FALSE(Import({"New clients"}));
  }
  EXPECT_EQ(Snapshot("B"), before);
}

TEST_F(ImportTest, ReferenceOutsideTheSetIsWarnedOfOnce) {
  // The set without its sub-template: both "M" fields refer outside.
  for (const char* f : {"/EXP00100.DSC", "/EXP00100.qmd"}) std::filesystem::remove(Sets() + f);
  DialogResponder boxes;
  boxes
      .Expect(OutsideWarning)
      .Expect("Ready to import template:\r\tMatters\r\rContinue?", mrYes)
      .Expect(ListAdded());
  EXPECT_TRUE(Import({}));
  EXPECT_EQ(TextRange(Fields(2)[1], DscField::LkpTarget), "MNGR100.DSC");
  EXPECT_EQ(TextRange(Fields(2)[3], DscField::LkpTarget), "MNGR002.DSC");
}

// A crafted set: an "M" number that is not three digits counts as a
// reference outside the set, a "U" target that is no list file name as a
// missing list; neither is ever made a path.
TEST_F(ImportTest, BadTargetsInACraftedSetNeverBecomePaths) {
  BtrOpenFile(9, Sets() + "/EXP00101.DS1", 0);
  ForEachFieldRecord(9, [](const TSetLookup&, std::string& Text) {
    const std::string name = Trim(TextRange(Text, DscField::Name));
    if (name == "Client") Text.replace(size_t(DscField::LkpTargetNumber.Column - 1), 3, "1 0");
    if (name == "Kind") Text.replace(size_t(DscField::LkpTarget.Column - 1), 11, Format("%-11s", "..\\4.lst"));
    return name == "Client" || name == "Kind";
  });
  BtrCloseFile(9);
  DialogResponder boxes;
  boxes
      .Expect(OutsideWarning)
      .Expect(Confirm(), mrYes)
      .Expect("A user list (..\\4.lst) needed by an imported template could not be found.\r\rCorvenstead will proceed "
              "with the template import operation, but you will need to import this list using the Matterdesk List "
              "Import/Export functions, before your list lookup will function properly." + ContactMsg)
      .Expect(ListAdded());
  EXPECT_TRUE(Import({"New clients"}));
  const std::vector<std::string> fields = Fields(2);
  EXPECT_EQ(TextRange(fields[1], DscField::LkpTarget), "MNGR1 0.DSC");
  EXPECT_EQ(TextRange(fields[2], DscField::LkpTarget), "MNGR003.DSC");
  EXPECT_EQ(TextRange(fields[4], DscField::LkpTarget), "..\\4.lst   ");
  EXPECT_EQ(TextRange(fields[5], DscField::LkpTarget), "1.lst      ");
}

TEST_F(ImportTest, MissingSetFilesAreReported) {
  std::filesystem::remove(Sets() + "/EXP00101.qmd");
  const std::string before = Snapshot("B");
  DialogResponder boxes;
  boxes.Expect("The file EXP00101.QMD could not be found!");
  EXPECT_FALSE(Import({}));
  EXPECT_EQ(Snapshot("B"), before);
}

// Every file step from the first list import to the commit fails once in
// turn: the office stays exactly as it was and no copy is left behind.
TEST_F(ImportTest, FailureAtEveryStepLeavesTheOfficeAsItWas) {
  const std::string before = Snapshot("B");
  const std::filesystem::path saved = Temp.path() / "B saved";
  std::filesystem::copy(Office("B"), saved, std::filesystem::copy_options::recursive);
  for (uint64_t step = 1;; ++step) {
    ResetBtrLayer();
    AnyBoxes boxes;
    bool imported = false;
    {
      TTemplateImport import(Chosen(), Answers({"New clients"}));
      ASSERT_TRUE(import.CopyImportMainFiles() && import.CopyImportSubTemplates() && import.NextTemplateNumber() &&
                  import.LoadTemplateNames() && import.ScanDescriptors() && import.ConfirmImport());
      ArmFaultPoint(step, TFaultAction::FailOnce);
      imported = import.ImportLists() && import.CommitImport();
      const bool reached = FaultStepCount() >= step;
      if (!reached) {
        DisarmFaultPoint();
        EXPECT_TRUE(imported);
        break;
      }
    }
    DisarmFaultPoint();
    if (imported) {  // a step whose failure the import rides out: start again from the saved office
      ResetBtrLayer();
      std::filesystem::remove_all(Office("B"));
      std::filesystem::copy(saved, Office("B"), std::filesystem::copy_options::recursive);
      continue;
    }
    EXPECT_EQ(Snapshot("B"), before) << "step " << step;
    ASSERT_LT(step, 500u);
  }
}

}  // namespace
