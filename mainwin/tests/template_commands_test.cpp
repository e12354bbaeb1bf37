// The template commands without windows: a real office (master file, the
// e-mail templates, templates saved by the builder) and the screens as
// fakes that record what they were asked and act as a test scripts them.
#include "mainwin/template_commands.h"

#include "designer/lookup_repair.h"
#include "designer/template_details.h"
#include "mainwin/template_list.h"
#include "mainwin/tests/entry_window_fixture.h"
#include "platform/fault_point.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/file_slot_guards.h"
#include "templates/master_codec.h"
#include "templates/layout_digest.h"
#include "templates/master_file.h"
#include "templates/template_build.h"
#include "testing/box_recorder.h"
#include "testing/piped_process.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

class FakeScreens : public TNamePrompt,
                    public TDesignerScreen,
                    public TEntryScreen,
                    public TDetailsScreen,
                    public TTemplateListView {
public:
  // The name the prompt gives; nothing: cancelled. OnAsk runs as it shows.
  std::optional<std::string> Name;
  std::function<void()> OnAsk;
  std::vector<TNameRequest> Prompts;
  // What the designer does while it shows (Modifying as given).
  std::function<void(bool)> Designer;
  std::vector<bool> DesignerRuns;
  std::vector<std::string> Entries;  // OpenTplNumber at each entry screen
  std::vector<std::vector<TLookupReference>> Details;
  std::vector<std::string> Items;
  int Row = -1;
  bool Ended = false;

  bool AskName(const TNameRequest& Request, std::string& Out) override {
    Prompts.push_back(Request);
    if (OnAsk) OnAsk();
    if (!Name) return false;
    Out = *Name;
    return true;
  }
  void RunDesigner(bool Modifying) override {
    DesignerRuns.push_back(Modifying);
    if (Designer) Designer(Modifying);
  }
  void RunEntry() override { Entries.push_back(Store.OpenTplNumber); }
  void ShowDetails(const std::vector<TLookupReference>& References, const std::vector<std::string>&) override {
    Details.push_back(References);
  }
  std::string SelectedItem() const override { return Row >= 0 ? Items.at(size_t(Row)) : ""; }
  int SelectedRow() const override { return Row; }
  bool Listed(const std::string& N) const override {
    return std::any_of(Items.begin(), Items.end(), [&](const std::string& i) { return Trim(i) == Trim(N); });
  }
  std::string Rename1Caption() const override { return "&Rename " + QuotedItemName(SelectedItem()); }
  std::string Delete1Caption() const override { return "&Delete " + QuotedItemName(SelectedItem()); }
  void Reload() override {
    TTemplateListing listing;
    // A list that cannot be read ends the program (its message shown).
    if (LoadTemplateList(listing, false) != TListOutcome::Listed) {
      Ended = true;
      return;
    }
    Items = listing.Items;
    Row = listing.Selected;
  }
  void SelectName(const std::string& N) override {
    for (size_t i = 0; i < Items.size(); ++i)
      if (Trim(Items[i]) == Trim(N)) Row = int(i);
  }
  void SelectRow(int R) override { Row = R; }
  void RemoveSelected() override {
    RemoveTemplateListEntry(SelectedItem());
    Items.erase(Items.begin() + Row);
    Row = -1;
  }
  void EndProgram() override { Ended = true; }
};

class TemplateCommandsTest : public EntryWindowTest {
protected:
  void SetUp() override {
    EntryWindowTest::SetUp();
    Clients = SaveClients();
    Matters = SaveMatters(Clients);
    Screens.Reload();
  }
  void TearDown() override {
    DisarmFaultPoint();
    EntryWindowTest::TearDown();
  }

  static TTemplateNumber SaveClients() {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    t.Add("Name", 'C', 20);
    t.Index(1, {1}, true, "By code");
    return Saved("Clients");
  }
  // Matters look the clients up by code.
  static TTemplateNumber SaveMatters(const TTemplateNumber& Target) {
    TTemplateTableBuilder t;
    t.Add("Matter", 'C', 6);
    AddTemplateLookup(t, "Client", Target.Value());
    t.Index(1, {1}, true, "By matter");
    return Saved("Matters");
  }
  static void PutRecords(const TTemplateNumber& Number, int Count) {
    ASSERT_TRUE(LoadTemplateDescriptor(Number.ZeroFilled()));
    std::vector<std::string> records;
    for (int i = 0; i < Count; ++i) records.push_back(WithPrefix(0, FillRecord({{1, "R" + std::to_string(i)}})));
    InsertRecords(DataFileName(Number), records);
  }

  void Select(const std::string& Name) {
    Screens.SelectName(Name);
    ASSERT_EQ(Trim(Screens.SelectedItem()), Name);
  }
  static std::vector<std::string> MasterTexts() {
    std::vector<std::string> out;
    for (const std::string& r : ReadRecords(MasterFileName())) out.push_back(TrimRight(MasterText(r)));
    std::sort(out.begin(), out.end());
    return out;
  }
  static std::string NameInDescriptor(const TTemplateNumber& Number) {
    for (const std::string& r : ReadRecords(DescriptorFileName(Number)))
      if (RecordRange(r, DscIndex::Key2Tag) == "K1") return TrimRight(RecordRange(r, DscIndex::TplName));
    return "<none>";
  }
  static bool Exists(const std::string& Name) { return FileExists(Name); }

  TTemplateNumber Clients;
  TTemplateNumber Matters;
  FakeScreens Screens;
  TemplateCommands Commands{{Screens, Screens, Screens, Screens, Screens}};
};

const std::string NoDescriptionData =
    "Unable to read description data for your template.\r\rPlease contact Ondral, Inc. for assistance.";

// New: a taken name is refused before the designer; a cancelled prompt does
// nothing; a saved template is listed and selected, and the print question
// waits for layout printing.
TEST_F(TemplateCommandsTest, ANewTemplateIsNamedDesignedAndListed) {
  Screens.Name = " Clients ";
  Boxes.Expect(NameReusedMsg("Clients"), mrOk);
  Commands.Userdefined1Click();
  EXPECT_TRUE(Screens.DesignerRuns.empty());
  ASSERT_EQ(Screens.Prompts.size(), 1u);
  EXPECT_EQ(Screens.Prompts[0].Label, "Name of template :");
  EXPECT_EQ(Screens.Prompts[0].Title, "Creating a New Template");
  EXPECT_EQ(NameReusedMsg("Clients"),
            "The name Clients is already assigned to an existing template.  It may not be re-used.");

  Screens.Name.reset();
  Commands.Userdefined1Click();
  EXPECT_TRUE(Screens.DesignerRuns.empty());

  Screens.Name = "Notes";
  Screens.Designer = [&](bool) {
    EXPECT_EQ(Store.TplName, *Screens.Name);
    EXPECT_EQ(Store.FldCount, 0);
    TTemplateTableBuilder t;
    t.Add("Text", 'C', 40);
    t.Index(1, {1});
    ASSERT_TRUE(BuildTemplateDataFile(Store.TplName));
    TplSaved = true;
  };
  Commands.Userdefined1Click();
  EXPECT_EQ(Screens.DesignerRuns, std::vector<bool>{false});
  EXPECT_FALSE(TplSaved);
  EXPECT_EQ(Trim(Screens.Items.at(size_t(Screens.Row))), "Notes");

  // With layout printing there, a saved template is offered its print.
  int printed = 0;
  Commands.PrintLayout = [&] { ++printed; };
  Screens.Name = "Letters";
  Boxes.Answer(mrYes);
  Commands.Userdefined1Click();
  EXPECT_EQ(printed, 1);
  EXPECT_EQ(Boxes.Boxes().back().text.substr(0, 70),
            "We strongly recommend that you print a copy of the layout for the temp");
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

TEST_F(TemplateCommandsTest, ACopyGetsTheLowestFreeNumberAnEmptyDataFileAndItsOwnName) {
  PutRecords(Matters, 3);
  // A descriptor without a master record (a copy cut short elsewhere) holds
  // number 4: it is not free.
  ASSERT_EQ(Clients.Value(), 2);
  ASSERT_EQ(Matters.Value(), 3);
  ASSERT_TRUE(CopyFile(DescriptorFileName(Clients), DescriptorFileName(TTemplateNumber(4)), true));
  Select("Matters");
  Screens.Name = "Matters copy";
  Commands.Copy1Click();
  ASSERT_EQ(Screens.Prompts.size(), 1u);
  EXPECT_EQ(Screens.Prompts[0].Title, "Copying 'Matters'");
  EXPECT_EQ(Screens.Prompts[0].Label, "Name of copy :");
  EXPECT_FALSE(Commands.CopyMode);
  const TTemplateNumber copy(5);
  EXPECT_EQ(NameInDescriptor(copy), "Matters copy");
  EXPECT_EQ(NameInDescriptor(Matters), "Matters");
  EXPECT_TRUE(ReadRecords(DataFileName(copy)).empty());
  EXPECT_EQ(ReadRecords(DataFileName(Matters)).size(), 3u);
  // The descriptors differ only in the name record; the lookup keeps its target.
  const std::vector<std::string> from = ReadRecords(DescriptorFileName(Matters));
  const std::vector<std::string> to = ReadRecords(DescriptorFileName(copy));
  ASSERT_EQ(from.size(), to.size());
  for (size_t i = 0; i < from.size(); ++i) {
    if (RecordRange(from[i], DscIndex::Key2Tag) == "K1") continue;
    EXPECT_EQ(DscText(from[i]), DscText(to[i])) << i;
  }
  EXPECT_EQ(Trim(Screens.SelectedItem()), "Matters copy");
  EXPECT_NE(std::find(MasterTexts().begin(), MasterTexts().end(), Format("%-30s%3s", "Matters copy", "5")),
            MasterTexts().end());
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  EXPECT_TRUE(Boxes.Boxes().empty());
}

// A failure at any file step of a copy leaves the folder and the master as
// they were: every file the copy made is deleted again.
TEST_F(TemplateCommandsTest, ACopyThatFailsAtAnyStepLeavesNothingBehind) {
  const TTemplateNumber copy(4);
  const auto undo = [&] {
    // A close that failed leaves the copy's descriptor open at the engine
    // until file 3 is used again.
    { const TSlotCloser retry(3); }
    DeleteFile(DescriptorFileName(copy));
    DeleteFile(DataFileName(copy));
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    TDynCharArr rec(MasterRecordLength);
    BtrSetKeyNumber(MasterFileNo, 2);
    if (BtrGetEqual(MasterFileNo, MasterNumberKey(copy), rec, false)) BtrDeleteRecord(MasterFileNo);
    BtrCloseFile(MasterFileNo);
  };
  const std::vector<std::string> master = MasterTexts();
  const TTemplateNumberSet files = TemplateFilesInFolder(Store.DataDir);
  Screens.Name = "Copy";
  // A whole copy counts the steps.
  Select("Clients");
  ArmFaultPoint(1000000, TFaultAction::FailOnce);
  Commands.Copy1Click();
  const uint64_t steps = FaultStepCount();
  DisarmFaultPoint();
  ASSERT_TRUE(Exists(DescriptorFileName(copy)));
  ASSERT_GT(steps, 5u);
  for (uint64_t step = 1; step <= steps; ++step) {
    SCOPED_TRACE(step);
    undo();
    ASSERT_EQ(MasterTexts(), master);
    Screens.Reload();
    Select("Clients");
    {
      const TBoxRecorder boxes;
      ArmFaultPoint(step, TFaultAction::FailOnce);
      Commands.Copy1Click();
      DisarmFaultPoint();
    }
    EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
    if (MasterTexts() != master) {
      EXPECT_TRUE(Exists(DescriptorFileName(copy)));
      EXPECT_TRUE(Exists(DataFileName(copy)));
    } else {
      EXPECT_EQ(TemplateFilesInFolder(Store.DataDir), files);
    }
  }
  undo();
}

TEST_F(TemplateCommandsTest, ACopyPastTheLastNumberIsRefused) {
  std::vector<std::string> records;
  for (int n = 4; n <= MaxTemplateNumber; ++n)
    records.push_back(WithPrefix(0, FormatMasterText("T" + std::to_string(n), TTemplateNumber(n))));
  InsertRecords(MasterFileName(), records);
  Screens.Reload();
  Select("Clients");
  Screens.Name = "Copy";
  Boxes.Expect(
      "You have reached your limit of 999 templates!\rYou must delete at least 1 existing template to perform your "
      "copy operation.",
      mrOk);
  Commands.Copy1Click();
  EXPECT_FALSE(Exists(Store.DataDir + "/MNGR999.DSC"));
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

TEST_F(TemplateCommandsTest, RenameWritesBothNamesOrNeither) {
  Select("Clients");
  // The same name, trimmed: nothing at all.
  Screens.Name = "Clients ";
  Commands.Rename1Click();
  EXPECT_EQ(Screens.Prompts.back().Title, "Renaming 'Clients'");
  EXPECT_EQ(Screens.Prompts.back().Label, "New name :");
  // A name the list holds.
  Screens.Name = "Matters";
  Boxes.Expect(NameReusedMsg("Matters"), mrOk);
  Commands.Rename1Click();
  EXPECT_EQ(NameInDescriptor(Clients), "Clients");

  // Taken by another workstation while the prompt showed: the master
  // refuses, and the descriptor keeps its name too.
  Screens.Name = "Customers";
  Screens.OnAsk = [] {
    InsertRecords(MasterFileName(), {WithPrefix(0, FormatMasterText("Customers", TTemplateNumber(900)))});
  };
  Boxes.Answer(mrOk);
  Commands.Rename1Click();
  EXPECT_EQ(Boxes.Boxes().back().text.substr(0, 44), "Unable to rename the template at this time.\r");
  EXPECT_EQ(NameInDescriptor(Clients), "Clients");
  EXPECT_NE(std::find(MasterTexts().begin(), MasterTexts().end(), Format("%-30s%3s", "Clients", "2")),
            MasterTexts().end());

  Screens.OnAsk = nullptr;
  Select("Clients");
  Screens.Name = "Firms";
  Commands.Rename1Click();
  EXPECT_EQ(NameInDescriptor(Clients), "Firms");
  EXPECT_NE(std::find(MasterTexts().begin(), MasterTexts().end(), Format("%-30s%3s", "Firms", "2")),
            MasterTexts().end());
  EXPECT_EQ(Trim(Screens.SelectedItem()), "Firms");
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));

  // The e-mail templates keep their names; copies of them are allowed.
  Select("Client e-mail");
  Boxes.Expect("The e-mail templates created by Corvenstead may not be renamed.", mrOk);
  const size_t prompts = Screens.Prompts.size();
  Commands.Rename1Click();
  EXPECT_EQ(Screens.Prompts.size(), prompts);
}

TEST_F(TemplateCommandsTest, ModifyAsksForABackupLoadsTheTablesAndResetsItsFlags) {
  PutRecords(Matters, 2);
  Select("Matters");
  Boxes.Expect(BackupQuestion, mrYes);
  Commands.Modify1Click(TModifySender::Modify);
  EXPECT_TRUE(Screens.DesignerRuns.empty());

  Boxes.Expect(BackupQuestion, mrNo);
  Screens.Designer = [&](bool Modifying) {
    EXPECT_TRUE(Modifying);
    EXPECT_TRUE(Store.Modifying);
    EXPECT_TRUE(Store.HasData);
    EXPECT_EQ(Store.TplNumber, "003");
    EXPECT_EQ(Store.FldCount, 2);
    // The master stays open for the save, its record locked.
    EXPECT_TRUE(BtrIsFileOpen(MasterFileNo));
    Store.LayoutChanged = true;
    throw Exception("designer broke");
  };
  Boxes.Expect(
      "An error was encountered while attempting to run the template modification routines.\r\rdesigner "
      "broke\r\rPlease contact Ondral, Inc. for assistance.",
      mrOk);
  Commands.Modify1Click(TModifySender::Modify);
  EXPECT_EQ(Screens.DesignerRuns, std::vector<bool>{true});
  EXPECT_FALSE(Store.Modifying);
  EXPECT_FALSE(Store.LayoutChanged);
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  EXPECT_EQ(Trim(Screens.SelectedItem()), "Matters");

  // The print path: tables loaded, nothing else.
  Store.FldCount = 0;
  EXPECT_TRUE(Commands.Modify1Click(TModifySender::Print));
  EXPECT_EQ(Store.FldCount, 2);
  EXPECT_EQ(Screens.DesignerRuns.size(), 1u);

  // A missing data file, then a missing descriptor.
  ASSERT_TRUE(DeleteFile(DataFileName(Matters)));
  Boxes.Expect(BackupQuestion, mrNo)
      .Expect("A required file is missing:  " + DataFileName(Matters) + ".\r\rPlease contact Ondral, Inc. for assistance.",
              mrOk);
  Commands.Modify1Click(TModifySender::Modify);
  ASSERT_TRUE(DeleteFile(DescriptorFileName(Matters)));
  Boxes.Expect(BackupQuestion, mrNo)
      .Expect("The description file associated with Matters could not be found.\rYou will not be able to modify this "
              "template or access any data that\rmay exist at the current time.\r\rPlease contact Ondral, Inc. for "
              "assistance.",
              mrOk);
  Commands.Modify1Click(TModifySender::Modify);
  EXPECT_EQ(Screens.DesignerRuns.size(), 1u);
  EXPECT_EQ(Trim(Screens.SelectedItem()), "Matters");
}

TEST_F(TemplateCommandsTest, EntryLoadsTheTemplateWithoutDataAndRefusesOneTheMasterLacks) {
  PutRecords(Matters, 2);
  Select("Matters");
  Commands.EntryMaintenancefor1Click();
  EXPECT_EQ(Screens.Entries, std::vector<std::string>{"003"});
  EXPECT_FALSE(Store.HasData);
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));

  // Listed, but gone from the master since.
  Screens.Items.push_back(Format("%-30s", "Ghost"));
  Select("Ghost");
  Boxes.Expect(NoDescriptionData, mrOk);
  Commands.EntryMaintenancefor1Click();
  EXPECT_EQ(Screens.Entries.size(), 1u);

  // Nothing selected: silence.
  Screens.Row = -1;
  Commands.EntryMaintenancefor1Click();
  EXPECT_EQ(Screens.Entries.size(), 1u);
}

TEST_F(TemplateCommandsTest, DeleteRefusesTheReferencedAndAsksTwiceForData) {
  // The clients are looked up by the matters: refused, the matters' field
  // named.
  Select("Clients");
  Boxes.Expect("Are you SURE you want to delete 'Clients'?", mrYes).Expect(ReferencedMsg, mrOk);
  Commands.Delete1Click();
  ASSERT_EQ(Screens.Details.size(), 1u);
  ASSERT_EQ(Screens.Details[0].size(), 1u);
  EXPECT_EQ(Screens.Details[0][0].Template, Matters);
  EXPECT_EQ(Screens.Details[0][0].FieldName, "Client");
  EXPECT_TRUE(Exists(DescriptorFileName(Clients)));

  // The matters, with records: No at the second question keeps everything.
  PutRecords(Matters, 2);
  std::ofstream(GridFormatFileName(Matters)) << "grid";
  Select("Matters");
  const std::string warning =
      "WARNING!!  The data file for this template is not empty.  If you delete the template,\rall the data will be "
      "PERMANENTLY destroyed.\r\rAre you CERTAIN you want to proceed with deleting the template Matters ?";
  Boxes.Expect("Are you SURE you want to delete 'Matters'?", mrYes).Expect(warning, mrNo);
  Commands.Delete1Click();
  EXPECT_TRUE(Exists(DataFileName(Matters)));
  EXPECT_EQ(Screens.Items.size(), 4u);

  Boxes.Expect("Are you SURE you want to delete 'Matters'?", mrYes).Expect(warning, mrYes);
  Commands.Delete1Click();
  EXPECT_FALSE(Exists(DataFileName(Matters)));
  EXPECT_FALSE(Exists(DescriptorFileName(Matters)));
  EXPECT_FALSE(Exists(GridFormatFileName(Matters)));
  EXPECT_EQ(MasterTexts(), (std::vector<std::string>{"Client e-mail                   0", "Clients                         2",
                                                     "Matter e-mail                   1"}));
  EXPECT_EQ(Screens.Items.size(), 3u);
  EXPECT_EQ(TemplateNumberOf("Matters"), "");
  EXPECT_EQ(TemplateNumberOf("Clients"), "2");
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));

  // Now nothing refers to the clients.
  Select("Clients");
  Boxes.Expect("Are you SURE you want to delete 'Clients'?", mrYes);
  Commands.Delete1Click();
  EXPECT_FALSE(Exists(DescriptorFileName(Clients)));

  // The e-mail templates stay.
  Select("Matter e-mail");
  Boxes.Expect("The e-mail templates created by Corvenstead may not be deleted.", mrOk);
  Commands.Delete1Click();
  EXPECT_EQ(Screens.Items.size(), 2u);
}

// A save killed half-way left the previous descriptor beside the current
// one: the delete puts the template back whole first, so no generation of
// it outlives the delete to come back later.
TEST_F(TemplateCommandsTest, ADeleteAfterAKilledSaveLeavesNoGenerationBehind) {
  ASSERT_TRUE(CopyFile(DescriptorFileName(Matters), PreviousGeneration(DescriptorFileName(Matters)), true));
  Select("Matters");
  Boxes.Expect("Are you SURE you want to delete 'Matters'?", mrYes);
  Commands.Delete1Click();
  EXPECT_FALSE(TemplateFilesInFolder(Store.DataDir)[size_t(Matters.Value())]);
  EXPECT_EQ(TemplateNumberOf("Matters"), "");
}

// A template that looks itself up goes like any other.
TEST_F(TemplateCommandsTest, ALookupIntoItselfDoesNotKeepATemplate) {
  {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    AddTemplateLookup(t, "Parent", 4);
    t.Index(1, {1}, true, "By code");
    ASSERT_EQ(Saved("Tree").Value(), 4);
  }
  Screens.Reload();
  Select("Tree");
  Boxes.Expect("Are you SURE you want to delete 'Tree'?", mrYes);
  Commands.Delete1Click();
  EXPECT_TRUE(Screens.Details.empty());
  EXPECT_FALSE(Exists(DescriptorFileName(TTemplateNumber(4))));
}

TEST_F(TemplateCommandsTest, DetailRowsNameTheReferringTemplatesAndTemplateZero) {
  std::vector<TLookupReference> refs(3);
  refs[0].Template = Matters;
  refs[0].FieldName = "Client";
  refs[1].Template = TTemplateNumber(0);
  refs[1].FieldName = "Sender";
  refs[2].Template = TTemplateNumber(77);
  refs[2].FieldName = "Gone";
  EXPECT_EQ(DetailRows(refs), (std::vector<TDetailRow>{{"Matters", "Client"}, {"Client e-mail", "Sender"},
                                                       {"Not found", "Gone"}}));
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

}  // namespace

namespace {

// The repair re-points the matters' client lookup at a new clients
// template: only that record's target number changes, a user list whose
// name holds the same digits stays, and the field table and its digest
// follow the file.
TEST_F(TemplateCommandsTest, TheRepairRewritesOnlyTheTemplateLookupsOfTheOldTarget) {
  {
    TTemplateTableBuilder t;
    t.Add("Matter", 'C', 6);
    for (const char* name : {"Client", "Referrer"}) AddTemplateLookup(t, name, Clients.Value());
    TFld& stage = t.Add("Stage", 'C', 8);
    stage.IsLookup = true;
    stage.LkpKind = "U";
    stage.LkpTarget = "1234002.lst";
    t.Index(1, {1}, true, "By matter");
    ASSERT_EQ(Saved("Cases").Value(), 4);
  }
  {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    t.Index(1, {1}, true, "By code");
    ASSERT_EQ(Saved("New clients").Value(), 5);
  }
  Screens.Reload();
  const TTemplateNumber cases(4);
  ASSERT_TRUE(LoadTemplateDescriptor(cases.ZeroFilled()));
  Store.TplNumber = cases.ZeroFilled();
  Store.TplName = "Cases";
  const std::vector<TRepairChoice> offered = RepairableLookups();
  ASSERT_EQ(offered.size(), 2u);
  EXPECT_EQ(offered[0].Caption, "Clients");
  EXPECT_EQ(offered[0].Number, Clients);
  EXPECT_EQ(RepairTargets().size(), 6u);

  const std::vector<std::string> before = ReadRecords(DescriptorFileName(cases));
  Boxes.Expect("Ready to repair the Vezadaz Lookup you have specified.\r\rContinue?", mrNo);
  EXPECT_FALSE(RepairLookupTarget(Clients, TTemplateNumber(5)));
  EXPECT_EQ(ReadRecords(DescriptorFileName(cases)), before);

  Boxes.Expect("Ready to repair the Vezadaz Lookup you have specified.\r\rContinue?", mrYes).Answer(mrOk);
  ASSERT_TRUE(RepairLookupTarget(Clients, TTemplateNumber(5)));
  const std::vector<std::string> after = ReadRecords(DescriptorFileName(cases));
  ASSERT_EQ(after.size(), before.size());
  int rewritten = 0;
  for (size_t i = 0; i < before.size(); ++i) {
    std::string expected = before[i];
    if (!IsIndexRecord(before[i]) && RecordRange(before[i], DscField::LkpKind) == "M") {
      expected.replace(size_t(DscField::LkpTargetNumber.Position() - 1), 3, "005");
      ++rewritten;
    }
    EXPECT_EQ(after[i], expected) << i;
  }
  EXPECT_EQ(rewritten, 2);
  EXPECT_EQ(Trim(Store.FldTable[2].LkpTarget), "MNGR005.DSC");
  EXPECT_EQ(Trim(Store.FldTable[3].LkpTarget), "MNGR005.DSC");
  EXPECT_EQ(Trim(Store.FldTable[4].LkpTarget), "1234002.lst");
  EXPECT_EQ(Store.LayoutDigest, DescriptorDigest(cases.ZeroFilled()));

  // The template's own descriptor gone.
  ASSERT_TRUE(DeleteFile(DescriptorFileName(cases)));
  Boxes.Answer(mrYes).Expect("Could not find file " + Store.DataDir + "\\mngr004.dsc.Repair operation cannot be "
                             "completed at this time.",
                             mrOk);
  EXPECT_FALSE(RepairLookupTarget(TTemplateNumber(5), Clients));
}

}  // namespace

#ifdef LAYER_PEER_PATH
namespace {

// Another workstation has the clients in its designer (their master record
// locked): entering the matters and deleting a later template ask nothing;
// modifying the clients meets the lock, and a No ends the program.
TEST_F(TemplateCommandsTest, ARecordHeldByAnotherDesignerStopsOnlyItsOwnTemplate) {
  {
    TTemplateTableBuilder t;
    t.Add("Code", 'C', 6);
    t.Index(1, {1}, true, "By code");
    ASSERT_EQ(Saved("Zeta").Value(), 4);
  }
  Screens.Reload();
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 1 0 " + MasterFileName()), "ok");
  ASSERT_EQ(peer.Ask("key 1 2"), "ok");
  ASSERT_EQ(peer.Ask("lock 1   2"), "ok");
  uint64_t now = 0;
  SetBtrTickSource([&now] { return now += 1000; });

  Select("Matters");
  Commands.EntryMaintenancefor1Click();
  EXPECT_EQ(Screens.Entries, std::vector<std::string>{"003"});
  Select("Zeta");
  Boxes.Expect("Are you SURE you want to delete 'Zeta'?", mrYes);
  Commands.Delete1Click();
  EXPECT_FALSE(FileExists(DescriptorFileName(TTemplateNumber(4))));
  EXPECT_TRUE(Boxes.Boxes().size() == 1u);

  Select("Clients");
  Boxes.Expect(BackupQuestion, mrNo).Answer(mrNo).Answer(mrOk);
  Commands.Modify1Click(TModifySender::Modify);
  ASSERT_EQ(Boxes.Boxes().size(), 4u);
  EXPECT_NE(Boxes.Boxes()[2].text.find("record lock"), std::string::npos) << Boxes.Boxes()[2].text;
  EXPECT_EQ(Boxes.Boxes()[3].text.substr(0, 35), "Unable to access the file MASTER.DS");
  EXPECT_TRUE(Screens.Ended);
  EXPECT_TRUE(Screens.DesignerRuns.empty());
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  peer.End();
  SetBtrTickSource({});
}

// A data file another workstation has open cannot go: the message names
// it, and the template keeps its descriptor and master record.
TEST_F(TemplateCommandsTest, ADeleteWhileAnotherHasTheDataFileOpenKeepsTheTemplate) {
  PipedProcess peer(LAYER_PEER_PATH);
  ASSERT_EQ(peer.Ask("open 2 0 " + DataFileName(Matters)), "ok");
  Select("Matters");
  Boxes.Expect("Are you SURE you want to delete 'Matters'?", mrYes)
      .Expect("The following error was encountered:\r\rUnable to delete " + DataFileName(Matters) +
                  ".\r\rThis situation can result if other users were accessing the template.\r\rPlease contact "
                  "Ondral, Inc. for assistance.",
              mrOk);
  Commands.Delete1Click();
  EXPECT_TRUE(Exists(DataFileName(Matters)));
  EXPECT_TRUE(Exists(DescriptorFileName(Matters)));
  EXPECT_EQ(TemplateNumberOf("Matters"), "3");
  EXPECT_EQ(MasterTexts().size(), 4u);
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
  peer.End();
}

}  // namespace
#endif
