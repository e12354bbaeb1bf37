// The program started by its main block, as main() starts it, on an office
// of the test's own: the sample office's family files in "office", its data
// folder with the master file, the e-mail templates and the templates the
// test defines, a registry file naming it for workstation "01", a runtime
// folder for the instance bus, the test's folder as the current one and a
// fixed clock.
#pragma once

#include "entry/linked_children.h"
#include "entry/links_file.h"
#include "mainwin/main_block.h"
#include "mainwin/tests/startup_fixture.h"
#include "platform/datetime_value.h"
#include "platform/files.h"
#include "templates/email_setup.h"
#include "templates/instance_messages.h"
#include "templates/sample_office.h"
#include "templates/template_build.h"
#include "testing/clock_fixture.h"
#include "testing/sample_office_folder.h"

#include <QCoreApplication>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

class OfficeStartTest : public CheckedFolderTest {
protected:
  void SetUp() override {
    ResetAll();
    std::filesystem::create_directories(Temp.path() / "run");
    std::filesystem::permissions(Temp.path() / "run", std::filesystem::perms::owner_all);
    std::vector<TSampleFileCount> counts;
    std::string msg;
    ASSERT_TRUE(WriteSampleOffice(Root(), SampleOffice(), counts, msg)) << msg;
    ASSERT_TRUE(ForceDirectories(Root() + "/mddata"));
    Store.DataDir = Root() + "/mddata";
    ASSERT_EQ(CreateMasterFile(true), TMasterCreation::Created);
    ASSERT_TRUE(InstallEmailTemplates());
    DefineTemplates();
    PutRegValue(CvwinKey, "PhysicalName", Root());
    PutRegValue(HostKey, "WSID", "01");
    ResetAll();
  }
  void TearDown() override {
    // Closed screens go by a deferred delete; a quit must not reach a later
    // test's loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::removePostedEvents(nullptr);
    ResetAll();
    CheckedFolderTest::TearDown();
  }
  static void ResetAll() {
    ResetStartState();
    ResetLinkedChildren();
    RememberedLinks() = {};
    ResetInstanceMessages();
  }
  std::string Root() const { return TempPath("office"); }

  // Saves the test's templates (each built with TTemplateTableBuilder and
  // BuildTemplateDataFile) into the data folder, the master file open.
  virtual void DefineTemplates() {}

  // The program's run with Params after its name; Loop in place of its
  // event loop, the application's own loop when empty.
  int Run(const std::vector<std::string>& Params, const std::function<int()>& Loop = {}) {
    StartupContext context;
    context.RegistryPath = TempPath("registry.ini");
    context.Params = {"mtdesk"};
    context.Params.insert(context.Params.end(), Params.begin(), Params.end());
    context.ProgramFolder = BinDir;
    context.EventLoop = Loop;
    return MainBlock(context);
  }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  ScopedEnv Runtime{"XDG_RUNTIME_DIR", TempPath("run")};
  ScopedCurrentDir InCwd{Temp.path()};
  ScopedClock Clock{EncodeDate(2026, 12, 10) + 0.5};
};
