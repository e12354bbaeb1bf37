// Template lookups prepared on written targets: columns found by field id
// after the designer moved and deleted fields, the unique flag from the
// index the lookup runs on, and every failure with its message, the build
// stopped and no file left open.
#include "entry/template_lookup.h"

#include "entry/entry_build.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/files.h"
#include "templates/email_setup.h"
#include "templates/save_lock.h"
#include "templates/startup_globals.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"
#include "templates/validation_files.h"
#include "testing/dialog_responder.h"
#include "testing/store_files_fixture.h"
#include "testing/target_template.h"
#include "testing/template_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class TFixedMeasure : public TTextMeasure {
public:
  int TextWidth(const std::string& Text) const override { return 7 * int(Text.size()); }
  int TextHeight(const std::string&) const override { return 16; }
};

constexpr int Target = 7;

class TemplateLookupTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    Startup.Reset();
    FamilyLookup.Reset();
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    Startup.Reset();
    FamilyLookup.Reset();
    StoreFilesTest::TearDown();
  }

  // The target as the designer leaves it after moving and deleting fields:
  // Note (id 4) first, Code (id 1), Opened (id 3); Name (id 2) deleted.
  // Sequence numbers follow the slots, so key 1 "1" is Note, not Code.
  static void WriteMovedTarget() {
    WriteTargetTemplate(Target, [](TTemplateTableBuilder& t) {
      t.Add("Note", 'C', 10, 4);
      t.Add("Code", 'C', 5, 1);
      t.Add("Name", 'C', 20, 2);
      t.Add("Opened", 'D', 8, 3);
      t.Index(1, {1}, true, "By code");
      t.Delete(2);
    });
  }

  // Slot 1 of the template in use: an M lookup on Target.
  static TFld& LookupField(const std::string& Spec, std::vector<int> DispCols = {},
                           const std::string& LkpTarget = "MNGR007.DSC") {
    TTemplateTableBuilder t;
    TFld& f = t.Add("Matter", 'C', 9);
    f.KeyWidth = 5;
    f.IsLookup = f.Unique = true;
    f.LkpKind = "M";
    f.LkpTarget = LkpTarget;
    f.LkpSpec = Spec;
    for (size_t k = 0; k < DispCols.size(); ++k) f.DispCols[int(k) + 1] = DispCols[k];
    t.Add("Notes", 'C', 10);
    return Store.FldTable[1];
  }

  static bool NoLookupFileOpen() { return !BtrIsFileOpen(TargetDescFileNo) && !BtrIsFileOpen(61); }

  TFixedMeasure measure;
};

TEST_F(TemplateLookupTest, ColumnsAreFoundByFieldIdAfterTheDesignerMovedAndDeletedFields) {
  WriteMovedTarget();
  LookupField("1  1  3", {4, 3});
  TFieldControl c;
  ASSERT_TRUE(PrepareTemplateLookup(1, c));
  ASSERT_EQ(c.ListCols.size(), 2u);
  // Code at 15 (5 wide) and Opened at 40 (a date), never Note nor Opened by sequence.
  EXPECT_EQ(c.ListCols[0].FldId, 1);
  EXPECT_EQ(c.ListCols[0].Pos, 15);
  EXPECT_EQ(c.ListCols[0].Width, 5);
  EXPECT_EQ(c.ListCols[0].Type, ttText);
  EXPECT_EQ(c.ListCols[1].Pos, 40);
  EXPECT_EQ(c.ListCols[1].Type, ttDate);
  EXPECT_EQ(c.ListCols[0].PixelWidth, int(CalcFieldWidth(5)) + 2);
  EXPECT_EQ(c.TotalWidth, c.ListCols[0].PixelWidth + c.ListCols[1].PixelWidth);
  EXPECT_EQ(c.TargetNo, 7);
  EXPECT_EQ(c.DataFileNo, 61);
  EXPECT_EQ(c.RecLen, 4 + 10 + 5 + 8 + 8);
  EXPECT_TRUE(Store.FldTable[1].LkpKeyUnique);  // the field and index 1 of the target are unique
  EXPECT_TRUE(BtrIsFileOpen(61));
  EXPECT_EQ(BtrGetKeyNumber(61), 1);
  EXPECT_EQ(FileLockMsg, DefaultFileLockMsg);
  // The display columns by id too, with the target's names.
  ASSERT_TRUE(ReadDisplayField(1, 1, c));
  ASSERT_TRUE(ReadDisplayField(1, 2, c));
  EXPECT_EQ(c.DispCols[0].Name, "Note");
  EXPECT_EQ(c.DispCols[0].Pos, 5);
  EXPECT_EQ(c.DispCols[1].Name, "Opened");

  // The build: the display rows labelled with the target's field names.
  CloseTemplateLookupFiles();
  const TEntryBuild b = BuildEntryModel(measure);
  EXPECT_FALSE(b.Failed);
  std::vector<std::string> labels;
  for (const TLabelPlan& l : b.Labels) labels.push_back(l.Caption);
  EXPECT_EQ(labels, (std::vector<std::string>{"Matter", "Note", "Opened", "Notes"}));
  EXPECT_EQ(b.TemplateLookups.at(1).DispCols.size(), 2u);
  EXPECT_FALSE(BtrIsFileOpen(TargetDescFileNo));  // closed with the row
  EXPECT_TRUE(BtrIsFileOpen(61));                 // open with the screen
  CloseTemplateLookupFiles();
  EXPECT_FALSE(BtrIsFileOpen(61));

  // A stored target that would lead out of the folder names the target
  // by its number only: the files in the data folder.
  LookupField("1  1", {}, "../a007.DSC");
  ASSERT_TRUE(PrepareTemplateLookup(1, c));
  EXPECT_EQ(c.ListCols.at(0).FldId, 1);
  EXPECT_EQ(c.TargetNo, 7);
  CloseTemplateLookupFiles();
}

TEST_F(TemplateLookupTest, EachFailureShowsItsMessageStopsTheBuildAndLeavesNoFileOpen) {
  WriteMovedTarget();
  const std::string dir = Store.DataDir;
  const std::string missingDisplay = "Unable to obtain required information about a display field from\r" + dir +
                                     "\\MNGR007.DSC.\rField number is  9\r\r" + ContactMsg;
  const struct {
    const char* what;
    std::string spec, target;
    std::vector<int> disp;
    std::string message;
  } cases[] = {
      {"missing descriptor", "1  1", "MNGR008.DSC", {}, "A required file " + dir + "\\MNGR008.DSC is missing." + ContactMsg},
      {"no digits", "1  1", "MNGR0X7.DSC", {}, "A required file " + dir + "\\MNGR0X7.DSC is missing." + ContactMsg},
      {"no number", "1  1", "MNGR7.DSC", {}, "A required file " + dir + "\\MNGR7.DSC is missing." + ContactMsg},
      {"no key digit", "X  1", "MNGR007.DSC", {}, "A required file " + dir + "\\MNGR007.DSC is missing." + ContactMsg},
      {"missing list field", "1  9", "MNGR007.DSC", {}, missingDisplay},
      {"missing display field", "1  1", "MNGR007.DSC", {3, 9}, missingDisplay},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    LookupField(c.spec, c.disp, c.target);
    DialogResponder boxes;
    boxes.Expect(c.message);
    const TEntryBuild b = BuildEntryModel(measure);
    EXPECT_TRUE(b.Failed);
    EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
    // The build stops at the failing field: the next one has no row.
    EXPECT_EQ(b.EditsArr.size(), c.disp.empty() ? 1u : 2u);
    EXPECT_FALSE(BtrIsFileOpen(TargetDescFileNo));
    if (c.disp.empty()) {
      EXPECT_FALSE(BtrIsFileOpen(61));
    }
    CloseTemplateLookupFiles();
  }
}

TEST_F(TemplateLookupTest, ADeclinedRetryWhileASaveHoldsTheTargetEndsTheBuildWithTheOpenMessage) {
  WriteMovedTarget();
  LookupField("1  1");
  const TSaveLock save = TryAcquireSaveLock(Store.DataDir, Target, TSaveLockMode::Exclusive);
  ASSERT_TRUE(save.Held());
  LockRetryMs = 0;
  std::vector<std::string> asked;
  SetBtrAsker([&](const std::string& q) {
    asked.push_back(q);
    return false;
  });
  const std::string name = DescriptorFileName(TTemplateNumber(Target));
  DialogResponder boxes;
  boxes.Answer(mrOk);
  TFieldControl c;
  EXPECT_FALSE(PrepareTemplateLookup(1, c));
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].substr(0, 7 + name.size()), "File:  " + name);
  EXPECT_NE(asked[0].find("Unable to open the description file for a template referenced as a\rlookup"),
            std::string::npos);
  const std::string text = boxes.Boxes().at(0).text;
  EXPECT_EQ(text.substr(0, 8), "Error:  ");
  EXPECT_NE(text.find("\r\rUnable to open a needed description file: " + name +
                      ".\rYou will not be able to enter data into your template at this time." + ContactMsg),
            std::string::npos)
      << text;
  EXPECT_TRUE(NoLookupFileOpen());
  EXPECT_EQ(FileLockMsg, DefaultFileLockMsg);
}

TEST_F(TemplateLookupTest, TheMatterEmailAsTargetRunsOnItsIndexTwoTaggedK1) {
  Startup.WSID = "01";
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  ASSERT_TRUE(InstallEmailTemplates());
  int matter = -1;
  for (int n = 0; n < 10 && matter < 0; ++n)
    if (FileExists(DescriptorFileName(TTemplateNumber(n))) && FileExists(DescriptorFileName(TTemplateNumber(n + 1))))
      matter = n + 1;
  ASSERT_GT(matter, 0);
  LookupField("2  1  2", {3}, "MNGR" + TTemplateNumber(matter).ZeroFilled() + ".DSC");
  TFieldControl c;
  ASSERT_TRUE(PrepareTemplateLookup(1, c));
  EXPECT_TRUE(Store.FldTable[1].LkpKeyUnique);
  EXPECT_EQ(BtrGetKeyNumber(61), 2);
  ASSERT_EQ(c.ListCols.size(), 2u);
  EXPECT_EQ(c.ListCols[1].Pos, 12);  // the case suffix
  ASSERT_TRUE(ReadDisplayField(1, 1, c));
  EXPECT_EQ(c.DispCols[0].Name, "Name 1");
  CloseTemplateLookupFiles();
}

}  // namespace
