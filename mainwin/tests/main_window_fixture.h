// The main window over real master files in a fresh data folder: the run's
// state (termination, Startup, the window's flags, a saved template) reset
// around each test, workstation "01", a command line without parameters.
// A test makes its window with Start (list filled and shown) or by hand.
#pragma once

#include "mainwin/mtdesk_form.h"
#include "mainwin/template_list.h"
#include "platform/command_line.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/startup_globals.h"
#include "testing/store_files_fixture.h"

#include <QCoreApplication>
#include <QListWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

class MainWindowTest : public StoreFilesTest {
protected:
  void SetUp() override {
    StoreFilesTest::SetUp();
    ResetState();
    Startup.WSID = "01";
    std::string error;
    ASSERT_TRUE(SetCommandLine({"mtdesk"}, error));
  }
  void TearDown() override {
    Form.reset();
    QCoreApplication::removePostedEvents(nullptr);
    ResetState();
    StoreFilesTest::TearDown();
  }
  static void ResetState() {
    ResetTerminated();
    Startup.Reset();
    MainFlags.Reset();
    TplSaved = false;
  }

  // A new start's main window, its list filled from the master and shown.
  void Start() {
    Form.reset();
    Form = std::make_unique<TMtdeskF>();
    ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
    Form->show();
  }

  // The names the list shows, trailing blanks dropped.
  std::vector<std::string> Listed() const {
    std::vector<std::string> names;
    for (int i = 0; i < Form->ListBox1->count(); ++i) {
      names.push_back(TrimRight(StoredText(Form->ListBox1->item(i)->text())));
    }
    return names;
  }

  std::unique_ptr<TMtdeskF> Form;
};
