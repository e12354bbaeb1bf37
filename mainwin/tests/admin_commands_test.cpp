// The utility and help commands through the real main window: the master
// file rebuilt over a master that lost a template, which the next start
// lists again, and the about box with the program file's time.
#include "mainwin/mtdesk_form.h"

#include "btrieve/numbered_files.h"
#include "mainwin/tests/main_window_fixture.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/session.h"
#include "platform/text.h"
#include "templates/email_setup.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/startup_globals.h"
#include "templates/template_build.h"
#include "testing/dialog_responder.h"
#include "testing/scoped_env.h"
#include "testing/store_files_fixture.h"
#include "testing/template_fixture.h"

#include <QAction>
#include <QApplication>
#include <QListWidget>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

using AdminCommandsTest = MainWindowTest;

TEST_F(AdminCommandsTest, RecreateMasterFileBringsBackATemplateTheMasterLost) {
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  ASSERT_TRUE(InstallEmailTemplates());
  {
    TTemplateTableBuilder t;
    t.Add("Matter", 'C', 6);
    t.Index(1, {1}, true, "By matter");
  }
  ASSERT_TRUE(BuildTemplateDataFile("Matters"));
  // The master loses the record of Matters.
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  BtrSetKeyNumber(MasterFileNo, int8_t(MasterKeySegments[1].KeyNo));
  TDynCharArr rec(MasterRecordLength);
  ASSERT_TRUE(BtrGetEqual(MasterFileNo, MasterNameKey("Matters"), rec, false));
  BtrDeleteRecord(MasterFileNo);
  BtrCloseFile(MasterFileNo);

  Start();
  const std::vector<std::string> without{"Client e-mail", "Matter e-mail"};
  ASSERT_EQ(Listed(), without);
  ASSERT_TRUE(Form->Recreatemasterfile1->isEnabled());
  {
    DialogResponder dialogs;
    Form->Recreatemasterfile1->trigger();
    EXPECT_TRUE(dialogs.Boxes().empty());
  }
  EXPECT_FALSE(Terminated());
  // The list is not read again until the next start.
  EXPECT_EQ(Listed(), without);
  EXPECT_TRUE(FileExists(Store.DataDir + "\\Master.Bak"));
  Start();
  EXPECT_EQ(Listed(), (std::vector<std::string>{"Client e-mail", "Matter e-mail", "Matters"}));
}

TEST_F(AdminCommandsTest, AMasterThatCannotBeMadeAgainEndsTheProgram) {
  ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
  ASSERT_TRUE(InstallEmailTemplates());
  Start();
  // Elsewhere the master went and a folder took its name.
  ASSERT_TRUE(DeleteFile(MasterFileName()));
  std::filesystem::create_directory(TempPath("master.dsc"));
  DialogResponder dialogs;
  dialogs.Answer(mrOk);
  Form->Recreatemasterfile1->trigger();
  EXPECT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_TRUE(Terminated());
}

TEST_F(AdminCommandsTest, AboutShowsWhenTheProgramFileWasWritten) {
  // A zone without summer time, five hours behind UTC.
  const ScopedTimeZone zone("EST5");
  Startup.ExeDir = TempPath("bin");
  std::filesystem::create_directory(Startup.ExeDir);
  const std::string program = Startup.ExeDir + "/" + ProgramFileName();
  WriteFileBytes(program, "program");
  const timespec times[2] = {{0, UTIME_OMIT}, {978307200, 0}};  // 2001-01-01 00:00:00 UTC
  ASSERT_EQ(utimensat(AT_FDCWD, program.c_str(), times, 0), 0);

  Form = std::make_unique<TMtdeskF>();
  ASSERT_TRUE(Form->About1->isEnabled());
  DialogResponder dialogs;
  dialogs.Expect("MTDESK.EXE   compiled 12/31/2000 7:00:00 PM");
  Form->About1->trigger();
  ASSERT_EQ(dialogs.Boxes().size(), 1u);
  EXPECT_EQ(dialogs.Boxes()[0].type, mtInformation);
  EXPECT_EQ(dialogs.Boxes()[0].buttons, mbOKOnly);
}

}  // namespace
