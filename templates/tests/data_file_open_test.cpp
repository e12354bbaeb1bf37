#include "templates/data_file_open.h"

#include "btrieve/stat_layout.h"
#include "platform/busy_cursor.h"
#include "platform/files.h"
#include "templates/save_lock.h"
#include "templates/template_number.h"
#include "testing/dialog_responder.h"
#include "testing/store_files_fixture.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

const std::string DefaultLockMsg = "A file lock was encountered.  Retry?";
const std::string TemplateLockMsg =
    "Unable to open the data file for your template.\r\rYou may retry this operation and this message will reappear "
    "if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. for assistance.\r\rRetry opening the file?";
const std::string LookupLockMsg =
    "Unable to open the data file for a template referenced as a\rlookup by this template.\r\rYou may retry this "
    "operation and this message will reappear if\rthe file remains inaccessible.  Otherwise, contact Ondral, Inc. "
    "for assistance.\r\rRetry opening the file?";

constexpr uint16_t DataLen = 32;
// Key 0 the prefix, key 1 a name at 5 (10), key 2 a code at 15 (6).
const std::vector<TKeySpec> DataKeys{
    {0, 0, 1, 4, false, false, true}, {1, 0, 5, 10, true, true, false}, {2, 0, 15, 6, false, true, false}};

constexpr uint8_t TemplateFileNo = 52;
constexpr uint8_t LookupFileNo = 42;
constexpr int LookupSlot = 3;

// The hourglass as the core shows it: how deep the scopes are.
int busyDepth = 0;
const TBusyCursorHooks countingHooks{[] { ++busyDepth; }, [] { --busyDepth; }};

class DataFileOpenTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    TplTextLen = 0;
    busyDepth = 0;
    SetBusyCursorHooks(&countingHooks);
  }
  void TearDown() override {
    SetBusyCursorHooks(nullptr);
    StoreFilesTest::TearDown();
  }

  // A data file of template Number holding Count records.
  static std::string CreateData(int Number, int Count, const std::string& name = "") {
    const std::string path = name.empty() ? DataFileName(TTemplateNumber(Number)) : name;
    std::string msg;
    EXPECT_TRUE(BtrCreateFile(path, DataLen, int8_t(DataKeys.size()), msg, 255, true, DataKeys)) << msg;
    BtrOpenFile(9, path, 0);
    for (int i = 0; i < Count; ++i) {
      std::string text = "NAME" + std::to_string(i);
      text.resize(10, ' ');
      text += "CODE" + std::to_string(i);
      text.resize(DataLen - 4, ' ');
      BtrInsertRecord(9, text);
    }
    BtrCloseFile(9);
    return path;
  }

  static void SetLookup(const std::string& Target, const std::string& Spec) {
    Store.FldTable[LookupSlot].LkpKind = "M";
    Store.FldTable[LookupSlot].LkpTarget = Target;
    Store.FldTable[LookupSlot].LkpSpec = Spec;
  }
};

TEST_F(DataFileOpenTest, TheTemplateOpenerSelectsKeyOneSizesTheBufferAndKeepsTheTextLength) {
  CreateData(7, 2);
  Store.OpenTplNumber = "007";
  FileLockMsg = "left over";
  OpenTemplateDataFile(TemplateFileNo);
  ASSERT_TRUE(BtrIsFileOpen(TemplateFileNo));
  EXPECT_EQ(FileSlots[TemplateFileNo].FileName, Store.DataDir + "\\MGRDT007.QMD");
  EXPECT_EQ(BtrGetKeyNumber(TemplateFileNo), 1);
  EXPECT_EQ(Store.TplRec.size(), DataLen);
  EXPECT_EQ(TplTextLen, DataLen - 4);
  EXPECT_EQ(BtrRecordCount(TemplateFileNo), 2);
  EXPECT_EQ(FileLockMsg, DefaultLockMsg);
  EXPECT_EQ(busyDepth, 0);

  // Open already: nothing is done again.
  BtrSetKeyNumber(TemplateFileNo, 2);
  TplTextLen = 0;
  OpenTemplateDataFile(TemplateFileNo);
  EXPECT_EQ(BtrGetKeyNumber(TemplateFileNo), 2);
  EXPECT_EQ(TplTextLen, 0);
}

TEST_F(DataFileOpenTest, TheLookupOpenerTakesTheTargetsFileAndKeyAndClosesWhatTheNumberHeld) {
  CreateData(7, 1);
  const std::string other = CreateData(8, 3);
  BtrOpenFile(LookupFileNo, other, 0);
  SetLookup("MNGR007.DSC", "2001002");
  FileLockMsg = "left over";
  OpenLookupDataFile(LookupFileNo, LookupSlot);
  ASSERT_TRUE(BtrIsFileOpen(LookupFileNo));
  EXPECT_EQ(FileSlots[LookupFileNo].FileName, Store.DataDir + "\\MGRDT007.QMD");
  EXPECT_EQ(BtrRecordCount(LookupFileNo), 1);
  EXPECT_EQ(BtrGetKeyNumber(LookupFileNo), 2);
  EXPECT_EQ(Store.LkpDataRec.size(), DataLen);
  EXPECT_EQ(FileLockMsg, DefaultLockMsg);
  EXPECT_EQ(busyDepth, 0);
}

// Only three digits and a point name a target's data file; anything else
// would open some other file of the folder, or one outside it.
TEST_F(DataFileOpenTest, MissingAndMalformedTargetsSayTheLookupWillNotFunction) {
  CreateData(7, 1);
  // Record files that malformed targets would name.
  for (const char* part : {"0070", " 07.", "07.D"}) CreateData(8, 1, Store.DataDir + "\\MGRDT" + part + "QMD");
  const struct {
    const char* target;
    const char* spec;
    const char* shown;  // characters 5-8 as they go into the name
  } cases[] = {
      {"MNGR009.DSC", "1", "009."},  // no such file
      {"MNGR../.DSC", "1", "../."},
      {"MNGR07.DSC", "1", "07.D"},
      {"MNGR0070DSC", "1", "0070"},
      {"MNGR999.DSC", "1", "999."},
      {"MNGR 07.DSC", "1", " 07."},
      {"MNGR", "1", ""},
      {"", "1", ""},
      {"MNGR007.DSC", "", "007."},
      {"MNGR007.DSC", "X01", "007."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target + std::string(" / ") + c.spec);
    BtrOpenFile(LookupFileNo, DataFileName(TTemplateNumber(7)), 0);
    SetLookup(c.target, c.spec);
    DialogResponder dialogs;
    const std::string text = "The Matterdesk file " + Store.DataDir + "\\MGRDT" + c.shown +
                             "QMD could not be found.\rThis lookup will not function at the present time.";
    dialogs.Expect(text, mrOk);
    SetBtrAsker([&](const std::string&) {
      ADD_FAILURE() << "asked";
      return false;
    });
    OpenLookupDataFile(LookupFileNo, LookupSlot);
    ASSERT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_EQ(dialogs.Boxes()[0].type, mtError);
    EXPECT_EQ(dialogs.Boxes()[0].buttons, mbOKOnly);
    EXPECT_EQ(busyDepth, 0);
    EXPECT_FALSE(BtrIsFileOpen(LookupFileNo));
    EXPECT_EQ(FileLockMsg, DefaultLockMsg);
  }
}

// A save holding the template's lock makes each opener ask with its own
// text; No ends it as a refused open, the number left free.
TEST_F(DataFileOpenTest, ASaveInProgressMakesEachOpenerAskWithItsOwnText) {
  const std::string name = CreateData(7, 1);
  Store.OpenTplNumber = "007";
  SetLookup("MNGR007.DSC", "1");
  const TSaveLock save = TryAcquireSaveLock(Store.DataDir, 7, TSaveLockMode::Exclusive);
  ASSERT_TRUE(save.Held());
  LockRetryMs = 0;
  const struct {
    const char* what;
    std::function<void()> open;
    uint8_t fileNo;
    std::string lockMsg;
    int hourglasses;  // shown while asking
  } openers[] = {
      {"template", [] { OpenTemplateDataFile(TemplateFileNo); }, TemplateFileNo, TemplateLockMsg, 0},
      {"lookup", [] { OpenLookupDataFile(LookupFileNo, LookupSlot); }, LookupFileNo, LookupLockMsg, 1},
  };
  for (const auto& o : openers) {
    SCOPED_TRACE(o.what);
    std::vector<std::string> asked;
    SetBtrAsker([&](const std::string& question) {
      asked.push_back(question);
      EXPECT_EQ(busyDepth, o.hourglasses);
      return false;
    });
    try {
      o.open();
      ADD_FAILURE() << "opened";
    } catch (const EBtrAbort& e) {
      EXPECT_EQ(e.Status, 85);
      EXPECT_EQ(e.Message, "The file " + name + " could not be opened.\r\r" + BtrStatusTail(85) + ".");
    }
    EXPECT_EQ(asked, (std::vector<std::string>{"File:  " + name + "\r\r" + o.lockMsg}));
    EXPECT_FALSE(BtrIsFileOpen(o.fileNo));
    EXPECT_EQ(FileLockMsg, DefaultLockMsg);
    EXPECT_EQ(busyDepth, 0);
  }
}

// A save killed between moving the data file aside and writing the new
// descriptor: the opener puts the previous generation back and opens it.
TEST_F(DataFileOpenTest, ACutShortSaveIsPutBackBeforeTheOpen) {
  const std::string name = CreateData(7, 0);
  CreateData(7, 3, PreviousGeneration(name));
  Store.OpenTplNumber = "007";
  OpenTemplateDataFile(TemplateFileNo);
  EXPECT_EQ(BtrRecordCount(TemplateFileNo), 3);
  EXPECT_FALSE(FileExists(PreviousGeneration(name)));
  BtrCloseFile(TemplateFileNo);

  // Sides that disagree are left alone: one message, and the opener ends
  // silently.
  CreateData(7, 2, PreviousGeneration(name));
  SetLookup("MNGR007.DSC", "1");
  for (const std::function<void()>& open : std::vector<std::function<void()>>{
           [] { OpenTemplateDataFile(TemplateFileNo); }, [] { OpenLookupDataFile(LookupFileNo, LookupSlot); }}) {
    DialogResponder dialogs;
    dialogs.Answer(mrOk);
    EXPECT_THROW(open(), EAbort);
    EXPECT_EQ(dialogs.Boxes().size(), 1u);
    EXPECT_FALSE(BtrIsFileOpen(TemplateFileNo));
    EXPECT_FALSE(BtrIsFileOpen(LookupFileNo));
    EXPECT_TRUE(FileExists(PreviousGeneration(name)));
    EXPECT_EQ(FileLockMsg, DefaultLockMsg);
    EXPECT_EQ(busyDepth, 0);
  }
}

}  // namespace
