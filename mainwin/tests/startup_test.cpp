// The start-up through the main block, as main() runs it, with a context of
// the test's own: a registry file, an office folder, a fixed clock and a
// stand-in event loop that records what it found. A start-up that ends
// shows exactly its one message, makes no batch file, shows no window and
// never reaches the loop.
#include "mainwin/main_block.h"

#include "entry/qt/entry_form.h"

#include "mainwin/mtdesk_form.h"
#include "mainwin/mtdesk_unit.h"
#include "mainwin/tests/startup_fixture.h"
#include "platform/command_line.h"
#include "platform/datetime_value.h"
#include "platform/date_format.h"
#include "platform/paths.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/spelling.h"
#include "platform/text.h"
#include "templates/email_templates.h"
#include "templates/master_file.h"
#include "templates/product_dates.h"
#include "templates/startup_globals.h"
#include "templates/template_state.h"
#include "testing/clock_fixture.h"
#include "testing/watchdog.h"

#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QListWidget>
#include <QTimer>
#include <QWidget>

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace {

const std::string DataFolderFailure =
    "Unable to locate or create a data folder.  Application will be terminated.\r\r"
    "Please contact Ondral, Inc. for assistance.";
const std::string CallLine = "\r\rPlease call Ondral, Inc. for assistance.";

// Counts every top-level window that is shown.
class WindowWatch : public QObject {
public:
  WindowWatch() { qApp->installEventFilter(this); }
  ~WindowWatch() override { qApp->removeEventFilter(this); }
  int Shown = 0;

protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show && object->isWidgetType() && static_cast<QWidget*>(object)->isWindow()) ++Shown;
    return false;
  }
};

// What the stand-in loop saw of the main window.
struct LoopVisit {
  bool Visible = false;
  std::string Title;
  std::string Panel0;
  std::string Panel1;
  std::vector<std::string> Items;
  bool EmailSetupEnabled = false;
};

class StartupTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetAll();
    std::filesystem::create_directory(TempPath("office"));
    std::filesystem::create_directory(TempPath("run"));
    std::filesystem::permissions(TempPath("run"), std::filesystem::perms::owner_all);
    PutRegValue(CvwinKey, "PhysicalName", Office());
    PutRegValue(HostKey, "WSID", "01");
  }
  void TearDown() override {
    // The quit a termination queued must not reach a later test's loop.
    QCoreApplication::removePostedEvents(qApp);
    ResetAll();
    CheckedFolderTest::TearDown();
  }
  static void ResetAll() { ResetStartState(); }

  std::string Office() const { return TempPath("office"); }
  std::string Data(const std::string& name) const { return TempPath("office/mddata/" + name); }

  // Runs the main block with parameters after the program; the loop, when
  // reached, returns 0 at once.
  int Run(const std::vector<std::string>& params = {}, const std::string& programFolder = BinDir) {
    StartupContext context;
    context.RegistryPath = TempPath("registry.ini");
    context.Params = {"mtdesk"};
    context.Params.insert(context.Params.end(), params.begin(), params.end());
    context.ProgramFolder = programFolder;
    context.EventLoop = [this] {
      Visit = LoopVisit{MtdeskF->isVisible(), StoredText(MtdeskF->windowTitle()), MtdeskF->StatusPanelText(0),
                        MtdeskF->StatusPanelText(1), {}, MtdeskF->Setupclientandcaseemailtemplates1->isEnabled()};
      for (int i = 0; i < MtdeskF->ListBox1->count(); ++i)
        Visit->Items.push_back(TrimRight(StoredText(MtdeskF->ListBox1->item(i)->text())));
      return Loop ? Loop() : 0;
    };
    return MainBlock(context);
  }

  // A start-up that ended: status 1, no loop, no window, no batch file.
  void ExpectEnded(int status) {
    EXPECT_EQ(status, 1);
    EXPECT_TRUE(Terminated());
    EXPECT_FALSE(Visit.has_value());
    EXPECT_EQ(Windows.Shown, 0);
    EXPECT_FALSE(std::filesystem::exists(Data("TRIN01.MD")));
    EXPECT_FALSE(std::filesystem::exists(Data("DESC01.MD")));
  }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", TempPath("run")};
  ScopedClock Clock{EncodeDate(2025, 3, 15) + 0.5};
  DialogResponder Boxes;
  WindowWatch Windows;
  std::optional<LoopVisit> Visit;
  // Runs in the loop's place after the visit when set.
  std::function<int()> Loop;
};

TEST_F(StartupTest, AGoodStartShowsTheMainWindowWithItsPanelsAndRunsTheLoop) {
  EXPECT_EQ(Run(), 0);
  ASSERT_TRUE(Visit.has_value());
  EXPECT_TRUE(Visit->Visible);
  EXPECT_EQ(Visit->Title, "Corvenstead Matterdesk");
  EXPECT_EQ(Visit->Panel0, "Data Location:  " + DisplayPath(Office() + "\\mddata"));
  EXPECT_EQ(Visit->Panel0, "Data Location:  " + Office() + "/mddata");
  EXPECT_EQ(Visit->Panel1, "WorkStation:  01");
  EXPECT_FALSE(Terminated());
  EXPECT_TRUE(Boxes.Texts().empty());

  EXPECT_EQ(Store.DataDir, Office() + "\\mddata");
  EXPECT_EQ(Store.DataRoot, Office());
  EXPECT_EQ(Startup.ExeDir, BinDir);
  EXPECT_EQ(Startup.WSID, "01");
  EXPECT_EQ(Startup.DescCloName, BinDir + "\\Desc.clo");
  EXPECT_EQ(Startup.DescFileName, Office() + "\\mddata\\DESC01.MD");
  EXPECT_EQ(LayoutOfFile(Data("TRIN01.MD")), ExpectedTrin);
  EXPECT_EQ(LayoutOfFile(Data("DESC01.MD")), ExpectedDesc);
  ResetBtrLayer();
  EXPECT_EQ(SSCE_GetRegTreeName(), "HKEY_LOCAL_MACHINE\\Software\\Ondral\\Corvenstead\\Spelling");
  EXPECT_TRUE(Startup.AutoClear);
  EXPECT_EQ(GetRegValue(ProgramKey, "AutoLoadLinks"), "N");
  EXPECT_EQ(MtdeskF, nullptr);

  // A second start reuses what the first made.
  ResetAll();
  Visit.reset();
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Visit.has_value());
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(StartupTest, WorkDateFromParameterOneOrTheClock) {
  struct Row {
    std::vector<std::string> Params;
    std::string WorkDateStr;
    TDateTime WorkDate;
    std::string WorkDateText;
  };
  const TDateTime today = EncodeDate(2025, 3, 15);
  const std::vector<Row> rows{
      {{"250704"}, "250704", EncodeDate(2005, 7, 4), "07/04/05"},
      {{"000101"}, "000101", EncodeDate(1980, 1, 1), "01/01/80"},
      {{"991231"}, "991231", EncodeDate(2079, 12, 31), "12/31/79"},
      {{"X"}, "450315", today, "03/15/25"},
      {{}, "450315", today, "03/15/25"},
      {{"45031"}, "450315", today, "03/15/25"},
      {{"4503155"}, "450315", today, "03/15/25"},
      {{"", "7"}, "450315", today, "03/15/25"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.Params.empty() ? "no parameter" : "parameter 1 '" + row.Params[0] + "'");
    ResetAll();
    EXPECT_EQ(Run(row.Params), 0);
    EXPECT_EQ(Startup.WorkDateStr, row.WorkDateStr);
    EXPECT_EQ(Startup.WorkDate, row.WorkDate);
    EXPECT_EQ(Startup.WorkDateText, row.WorkDateText);
    EXPECT_TRUE(Boxes.Texts().empty());
  }
}

TEST_F(StartupTest, AWorkDateTheDateRoutinesCannotConvertEndsTheStartWithTheirMessageAlone) {
  struct Row {
    std::string Param1;
    std::string Message;
  };
  const std::string used = " Date 01/01/1981 will be used. " + CallLine;
  const std::vector<Row> rows{
      {"ABCDEF", "Invalid date - must be 6 integers. (ABCDEF)" + used},
      {"4503 5", "Invalid date - must be 6 integers. (4503 5)" + used},
      {" 45031", "Invalid date length - Must be 6 integers. ( 45031)" + used},
      {"450230", "'02/30/2025' is not a valid date"},
      {"451301", "'13/01/2025' is not a valid date"},
      // Six characters once in Windows-1252, seven bytes of UTF-8.
      {"\xc3\xa9" "12345", "Invalid date - must be 6 integers. (\xe9" "12345)" + used},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("parameter 1 '" + row.Param1 + "'");
    ResetAll();
    DialogResponder boxes;
    boxes.Expect(row.Message);
    ExpectEnded(Run({row.Param1}));
    EXPECT_EQ(boxes.Texts().size(), 1u);
  }
}

TEST_F(StartupTest, AClockOutsideTheFileDateYearsEndsTheStart) {
  ScopedClock early(EncodeDate(1975, 6, 1));
  Boxes.Expect("Invalid date (6/1/1975) cannot convert to CV file format. Date 01/01/1981 will be used. " + CallLine);
  ExpectEnded(Run());
  EXPECT_EQ(Boxes.Texts().size(), 1u);
}

TEST_F(StartupTest, TheDataFolderIsUsedOrMadeOneLevelDeep) {
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(std::filesystem::is_directory(TempPath("office/mddata")));
  ResetAll();
  EXPECT_EQ(Run(), 0);
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(StartupTest, ADataRootThatGivesNoDataFolderEndsTheStart) {
  WriteFileBytes(TempPath("plain"), "a file");
  const bool rootHadMddata = std::filesystem::exists("/mddata");
  for (const std::string& root : {TempPath("missing"), TempPath("missing/deeper"), TempPath("plain"), std::string(),
                                 std::string("   ")}) {
    SCOPED_TRACE("DataRoot '" + root + "'");
    ResetAll();
    PutRegValue(CvwinKey, "PhysicalName", root);
    DialogResponder boxes;
    boxes.Expect(DataFolderFailure);
    ExpectEnded(Run());
    EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
    EXPECT_FALSE(std::filesystem::exists(TempPath("missing")));
  }
  EXPECT_EQ(std::filesystem::exists("/mddata"), rootHadMddata);
}

TEST_F(StartupTest, AMissingAliasKeyIsToldAndEndsInTheDataFolderFailure) {
  TRegistry reg;
  ASSERT_TRUE(reg.DeleteKey(CvwinKey));
  Boxes.Expect("Unable to read the 'PhysicalName' value from the registry key "
               "\\Software\\Orrin\\Btrieve\\Aliases\\CVWIN at this time." + ContactLine)
      .Expect(DataFolderFailure);
  ExpectEnded(Run());
}

// What start-up says of a workstation id that cannot name files.
std::string BadWorkstationId(const std::string& shown) {
  return "The workstation id \"" + shown +
         "\" (registry key \\Software\\Ondral\\Corvenstead\\Host, value WSID) cannot name this workstation's "
         "files.  Application will be terminated.\r\rThe id must be one or two characters, each a letter, a digit or "
         "a blank, not blanks alone." + ContactLine;
}

TEST_F(StartupTest, AMissingHostKeyIsToldAndEndsTheStartForWantOfAWorkstationId) {
  TRegistry reg;
  ASSERT_TRUE(reg.DeleteKey(HostKey));
  Boxes.Expect("Unable to read the 'WSID' value from the registry key \\Software\\Ondral\\Corvenstead\\Host at this "
               "time." + ContactLine)
      .Expect(BadWorkstationId(""));
  ExpectEnded(Run());
  EXPECT_TRUE(std::filesystem::is_empty(TempPath("office/mddata")));
}

TEST_F(StartupTest, OnlyAWorkstationIdThatCanNameFilesIsTaken) {
  struct Row {
    std::string wsid;
    bool taken;
    std::string shown;  // the id as the refusal shows it
  };
  const std::vector<Row> rows{
      {"/", false, "/"},          {"\\", false, "\\"},     {"..", false, ".."},   {"../x", false, "../x"},
      {"\x07", false, "\\x07"}, {"1\n", false, "1\\x0A"}, {"ABC", false, "ABC"}, {"", false, ""},
      {"  ", false, "  "},        {"\xe9", false, "\xe9"},     {"1", true, ""},       {"01", true, ""},
      {"A ", true, ""},           {"z9", true, ""},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE("WSID '" + row.wsid + "'");
    ResetAll();
    Visit.reset();
    Windows.Shown = 0;
    std::filesystem::remove_all(TempPath("office/mddata"));
    PutRegValue(HostKey, "WSID", row.wsid);
    DialogResponder boxes;
    if (!row.taken) {
      boxes.Expect(BadWorkstationId(row.shown));
      ExpectEnded(Run());
      EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
      // Nothing is made in the data folder, nor beside it.
      EXPECT_TRUE(std::filesystem::is_empty(TempPath("office/mddata")));
      EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Office()), {}), 1);
      continue;
    }
    EXPECT_EQ(Run(), 0);
    ASSERT_TRUE(Visit.has_value());
    EXPECT_EQ(Visit->Panel1, "WorkStation:  " + row.wsid);
    EXPECT_EQ(LayoutOfFile(Data("TRIN" + row.wsid + ".MD")), ExpectedTrin);
    EXPECT_EQ(LayoutOfFile(Data("DESC" + row.wsid + ".MD")), ExpectedDesc);
    EXPECT_TRUE(boxes.Texts().empty());
  }
}

TEST_F(StartupTest, ARegistryFileThatCannotBeUsedIsToldOnceByItsOwnMessage) {
  const std::string file = TempPath("registry.ini");
  const std::vector<std::pair<std::function<void()>, std::string>> rows{
      {[&] { WriteFileBytes(file, "[HKEY_LOCAL_MACHINE\\Software]\n\"A\"=\"1\"\n\"A\"=\"2\"\n"); },
       "The registry file " + file + " is damaged at line 3: the value \"A\" is given twice."},
      {[&] { ASSERT_EQ(mkfifo(file.c_str(), 0600), 0); },
       "The registry file " + file + " is not a regular file (a FIFO)."},
  };
  for (const auto& [plant, message] : rows) {
    SCOPED_TRACE(message);
    Watchdog watchdog;
    ResetAll();
    std::filesystem::remove(file);
    plant();
    DialogResponder boxes;
    boxes.Expect(message);
    ExpectEnded(Run());
    EXPECT_EQ(boxes.Boxes().at(0).type, mtError);
    EXPECT_FALSE(std::filesystem::exists(TempPath("office/mddata")));
  }
}

TEST_F(StartupTest, ABatchFileThatCannotBeMadeEndsTheStartBeforeTheSettings) {
  // A program folder without Desc.clo: TRIN is made, DESC cannot be.
  Boxes.Expect("Corvenstead cannot find an existing DESC.MD file for\rWorkstation 01 and it was also unable\rto "
               "create a new file of that type." + ContactLine);
  EXPECT_EQ(Run({}, TempPath("no-program-here")), 1);
  EXPECT_TRUE(Terminated());
  EXPECT_FALSE(Visit.has_value());
  EXPECT_EQ(Windows.Shown, 0);
  EXPECT_TRUE(std::filesystem::exists(Data("TRIN01.MD")));
  EXPECT_FALSE(std::filesystem::exists(Data("DESC01.MD")));
  EXPECT_EQ(SSCE_GetRegTreeName(), "");
  EXPECT_EQ(GetRegValue(ProgramKey, "AutoClear"), "<absent>");
}

TEST_F(StartupTest, ParametersArriveInWindows1252AndABadOneEndsTheStartNamingItsPosition) {
  EXPECT_EQ(Run({"X", "7", "-reverse", "Caf\xc3\xa9"}), 0);
  EXPECT_EQ(ParamCount(), 4);
  EXPECT_EQ(ParamStr(3), "-reverse");
  EXPECT_EQ(ParamStr(4), "Caf\xe9");

  for (const auto& [params, message] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"X", "\xff"}, "Parameter 2 of the command line cannot be used.\r\rThe text is not valid UTF-8 (byte 1)."},
           {{"X", "7", "c", "\xe4\xb8\xad"},
            "Parameter 4 of the command line cannot be used.\r\rThe character U+4E2D cannot be stored."}}) {
    ResetAll();
    Visit.reset();
    Windows.Shown = 0;
    std::filesystem::remove_all(TempPath("office/mddata"));
    DialogResponder boxes;
    boxes.Expect(message);
    ExpectEnded(Run(params));
    EXPECT_EQ(ParamCount(), 0);
    // Nothing of the start-up ran.
    EXPECT_FALSE(std::filesystem::exists(TempPath("office/mddata")));
  }
}

// The e-mail templates' data files as their layout tables give them.
const FileLayout ExpectedClientData{659, 4096, 2, 0, {{0, 1, 4, false, false, true}, {1, 5, 7, false, true, false}}};
const FileLayout ExpectedMatterData{626, 4096, 3, 0,
                                    {{0, 1, 4, false, false, true},
                                     {1, 5, 7, true, true, false},
                                     {2, 5, 7, false, true, false},
                                     {2, 12, 7, false, true, false}}};

// Every record text of a record-manager file (prefix dropped), key 0 order.
std::vector<std::string> FileTexts(const std::string& path) {
  BtrOpenFile(9, path, 0);
  std::vector<std::string> texts;
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(9, rec, atEnd, false); !atEnd; BtrGetNext(9, rec, atEnd, false))
    texts.emplace_back(rec.begin() + 4, rec.end());
  BtrCloseFile(9);
  return texts;
}

TEST_F(StartupTest, InstallOnAnEmptyFolderEndsWithoutAWindowAndLaterStartsListBothTemplates) {
  EXPECT_EQ(Run({"X"}), 0);
  EXPECT_FALSE(Visit.has_value());
  EXPECT_EQ(Windows.Shown, 0);
  EXPECT_TRUE(Boxes.Texts().empty());
  EXPECT_EQ(FileTexts(Data("master.dsc")),
            (std::vector<std::string>{"Client e-mail                   0", "Matter e-mail                   1"}));
  EXPECT_EQ(FileTexts(Data("MNGR000.DSC")), EmailDescriptorTexts(TEmailTemplate::Client));
  EXPECT_EQ(FileTexts(Data("MNGR001.DSC")), EmailDescriptorTexts(TEmailTemplate::Matter));
  EXPECT_EQ(LayoutOfFile(Data("MGRDT000.QMD")), ExpectedClientData);
  EXPECT_EQ(LayoutOfFile(Data("MGRDT001.QMD")), ExpectedMatterData);
  // The installing start lists what it made and registers its workstation.
  EXPECT_EQ(ReadFileBytes(Data("CLCA.IDX")), "01  0  1\r\n");
  ResetBtrLayer();

  // Each workstation's first start writes its line, its next one none.
  for (const char* wsid : {"01", "7"}) {
    SCOPED_TRACE(std::string("workstation '") + wsid + "'");
    PutRegValue(HostKey, "WSID", wsid);
    for (int start = 0; start < 2; ++start) {
      ResetAll();
      Visit.reset();
      EXPECT_EQ(Run(), 0);
      ASSERT_TRUE(Visit.has_value());
      EXPECT_EQ(Visit->Items, (std::vector<std::string>{"Client e-mail", "Matter e-mail"}));
      EXPECT_FALSE(Visit->EmailSetupEnabled);
    }
  }
  EXPECT_EQ(ReadFileBytes(Data("CLCA.IDX")), "01  0  1\r\n7   0  1\r\n");
  EXPECT_TRUE(Boxes.Texts().empty());
}

// A folder without templates (a first start without the switch, a data
// folder that went) is installed as on a first run; "X" never shows the
// window, also on an office that has its templates.
TEST_F(StartupTest, WithoutTheSwitchANewFolderIsInstalledAndTheSwitchNeverShowsTheWindow) {
  EXPECT_EQ(Run(), 0);
  ASSERT_TRUE(Visit.has_value());
  EXPECT_EQ(Visit->Items, (std::vector<std::string>{"Client e-mail", "Matter e-mail"}));
  EXPECT_FALSE(Visit->EmailSetupEnabled);
  EXPECT_EQ(FileTexts(Data("MNGR000.DSC")), EmailDescriptorTexts(TEmailTemplate::Client));
  ResetAll();
  Visit.reset();
  const int shown = Windows.Shown;
  EXPECT_EQ(Run({"X"}), 0);
  EXPECT_FALSE(Visit.has_value());
  EXPECT_EQ(Windows.Shown, shown);
  EXPECT_EQ(FileTexts(Data("master.dsc")),
            (std::vector<std::string>{"Client e-mail                   0", "Matter e-mail                   1"}));
  EXPECT_TRUE(Boxes.Texts().empty());
}

TEST_F(StartupTest, AFailedInstallEndsWithStatusOneAndLeavesNoMaster) {
  std::filesystem::create_directories(TempPath("office/mddata/MGRDT001.QMD"));
  DialogResponder boxes;
  boxes.Answer(mrOk);
  EXPECT_EQ(Run({"X"}), 1);
  EXPECT_FALSE(Visit.has_value());
  EXPECT_EQ(Windows.Shown, 0);
  ASSERT_EQ(boxes.Texts().size(), 1u);
  EXPECT_TRUE(boxes.Texts()[0].starts_with("Unable to create new data file "));
  EXPECT_FALSE(std::filesystem::exists(Data("master.dsc")));
  EXPECT_FALSE(std::filesystem::exists(Data("MNGR000.DSC")));
  EXPECT_FALSE(std::filesystem::exists(Data("MGRDT000.QMD")));
}

TEST_F(StartupTest, AFolderWithDescriptorsButNoMasterEndsTheStartWithoutAWindow) {
  std::filesystem::create_directory(TempPath("office/mddata"));
  WriteFileBytes(Data("MNGR003.DSC"), "kept");
  Boxes.Expect("A required file MASTER.DSC could not be found.  The application cannot function without it." +
               ContactLine);
  EXPECT_EQ(Run(), 1);
  EXPECT_FALSE(Visit.has_value());
  EXPECT_EQ(Windows.Shown, 0);
  EXPECT_FALSE(std::filesystem::exists(Data("master.dsc")));
  EXPECT_EQ(ReadFileBytes(Data("MNGR003.DSC")), "kept");
}

}  // namespace

// Started for one template (parameter 2 its trimmed number), the program
// opens that entry screen before its window first shows. For an e-mail
// template of its own start the list never shows and Timer1 ends the real
// loop with status 0 once the screen closed; a child instance's window shows.
TEST_F(StartupTest, ADirectStartOpensTheTemplatesEntryScreenAndEndsAfterIt) {
  Watchdog watchdog;
  ASSERT_EQ(Run(), 0);  // the office's first start makes the e-mail templates
  // The office has no family files: the e-mail templates' lookups say so.
  struct TCase {
    std::vector<std::string> Params;
    bool WindowShown;
    int LookupsMissing;
  };
  const TCase cases[] = {
      {{"3/15/2025", "1"}, false, 2},
      {{"3/15/2025", "0", "", "", "", "", "1"}, true, 1},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Params.size());
    for (int i = 0; i < c.LookupsMissing; ++i)
      Boxes.Expect("This lookup is not available at this time.\r\rPlease contact Ondral, Inc. for assistance.");
    ResetAll();
    Visit.reset();
    std::string screenName;
    bool listVisibleMeanwhile = true;
    QTimer::singleShot(0, [&] {
      auto* entry = dynamic_cast<TEntryF*>(QApplication::activeModalWidget());
      ASSERT_NE(entry, nullptr);
      screenName = StoredText(entry->LabelTableName->text());
      listVisibleMeanwhile = MtdeskF->isVisible();
      entry->BitBtnCancelClick();
    });
    bool timerRunning = false;
    Loop = [&] {
      timerRunning = MtdeskF->Timer1->isActive();
      return QApplication::exec();
    };
    EXPECT_EQ(Run(c.Params), 0);
    EXPECT_EQ(screenName, c.Params[1] == "1" ? "Matter e-mail" : "Client e-mail");
    EXPECT_FALSE(listVisibleMeanwhile);
    ASSERT_TRUE(Visit.has_value());
    EXPECT_EQ(Visit->Visible, c.WindowShown);
    EXPECT_TRUE(timerRunning);
    EXPECT_TRUE(Startup.DirectMode);
  }
}
