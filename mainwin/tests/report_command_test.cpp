// The report module through the real main window: both menu items start it
// with the work date, the product code, the selected template's name and
// the verb, each one argument, in UTF-8; a real start runs a stub module
// that writes down its arguments and is reaped; a module that will not
// start gives the information message.
#include "mainwin/mtdesk_form.h"

#include "mainwin/tests/main_window_fixture.h"
#include "platform/dialogs.h"
#include "platform/processes.h"
#include "platform/session.h"
#include "templates/startup_globals.h"
#include "testing/dialog_responder.h"
#include "testing/poll_until.h"

#include <QAction>
#include <QListWidget>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A name as the list keeps it: blanks, quotes, an "&" and an accent.
const std::string Awkward = "Smith & \"Jones\" Caf\xE9";
const std::string AwkwardUtf8 = "Smith & \"Jones\" Caf\xC3\xA9";
const std::string FailureText = "You may not access QUAP report functions at this time.\r";

class ReportCommandTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Startup.ExeDir = TempPath("bin");
    fs::create_directory(Startup.ExeDir);
    CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    InsertMasterRecord(TTemplateNumber(3).Stored(), Awkward);
    InsertMasterRecord(TTemplateNumber(4).Stored(), "Plain");
    BtrCloseFile(MasterFileNo);
    Start();
    Startup.WorkDateStr = "461211";
  }

  void Select(const std::string& name) {
    const auto found = Form->ListBox1->findItems(WidgetText(name), Qt::MatchStartsWith);
    ASSERT_EQ(found.size(), 1);
    Form->ListBox1->setCurrentItem(found[0]);
    Form->ListBox1Click();
  }

  std::string Quaps() const { return Startup.ExeDir + "/quaps"; }
};

TEST_F(ReportCommandTest, BothItemsStartTheModuleWithTheFourArguments) {
  std::vector<std::vector<std::string>> started;
  const ScopedLauncher recording([&](const std::vector<std::string>& argv) {
    started.push_back(argv);
    return 4242;
  });
  DialogResponder dialogs;
  Select(Awkward);
  Form->Reports1->trigger();
  // The pop-up menu on the other item.
  const QListWidgetItem* plain = Form->ListBox1->findItems("Plain", Qt::MatchStartsWith).at(0);
  Form->ListBox1MouseDown(Qt::RightButton, Form->ListBox1->visualItemRect(plain).center());
  Form->Createreport1->trigger();
  // Nothing selected still starts it, naming no template.
  Form->ListBox1->clearSelection();
  Form->ListBox1Click();
  Form->Createreport1->trigger();

  EXPECT_TRUE(dialogs.Boxes().empty());
  EXPECT_EQ(started, (std::vector<std::vector<std::string>>{{Quaps(), "461211", "5", AwkwardUtf8, "Add"},
                                                            {Quaps(), "461211", "5", "Plain", "Add"},
                                                            {Quaps(), "461211", "5", "", "Add"}}));
}

TEST_F(ReportCommandTest, ARealModuleGetsItsArgumentsAndIsReaped) {
  // The stub writes its arguments, each ended by a NUL, beside itself.
  WriteFileBytes(Quaps(),
                 "#!/bin/sh\n"
                 "out=\"$(dirname \"$0\")/args\"\n"
                 "printf '%s\\0' \"$@\" > \"$out.part\" && mv \"$out.part\" \"$out\"\n");
  ASSERT_EQ(chmod(Quaps().c_str(), 0700), 0);
  int pid = 0;
  const ScopedLauncher watching([&](const std::vector<std::string>& argv) { return pid = SpawnReaped(argv); });
  DialogResponder dialogs;
  Select(Awkward);
  Form->Reports1->trigger();
  EXPECT_TRUE(dialogs.Boxes().empty());
  ASSERT_GT(pid, 0);
  const std::string args = Startup.ExeDir + "/args";
  ASSERT_TRUE(PollUntil([&] { return fs::exists(args); }));
  EXPECT_EQ(ReadFileBytes(args), std::string("461211\0" "5\0", 9) + AwkwardUtf8 + std::string("\0Add\0", 5));
  EXPECT_TRUE(PollUntil([&] { return !ProcessRuns(pid); })) << "the module stayed a zombie";
}

TEST_F(ReportCommandTest, AModuleThatWillNotStartGivesTheMessage) {
  DialogResponder dialogs;
  dialogs.Expect(FailureText);
  Select("Plain");
  Form->Createreport1->trigger();
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtInformation);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbOKOnly);
}

}  // namespace
