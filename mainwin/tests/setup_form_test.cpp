// The settings command through the real main window: the dialog's boxes,
// what OK writes to the registry and takes over into the run, Exit leaving
// both alone, and the grid view fitted to the work area.
#include "mainwin/setup_form.h"

#include "mainwin/mtdesk_form.h"
#include "mainwin/tests/startup_fixture.h"
#include "mainwin/user_flags.h"
#include "platform/qt/widget_text.h"
#include "templates/startup_globals.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace {

struct BoxRow {
  const char* Name;
  const char* Caption;
  int Tag;
  const char* Value;
  bool InGrid;
  bool TStartupGlobals::*Flag;
};

const BoxRow Boxes[] = {
    {"CBConfirmSave", "Confirm on save", 1, "ConfirmSave", false, &TStartupGlobals::ConfirmSave},
    {"CBAutoClear", "Clear screen after save", 2, "AutoClear", false, &TStartupGlobals::AutoClear},
    {"CBMax", "Display at full screen size", 3, "MaximizeEntry", false, &TStartupGlobals::MaximizeEntry},
    {"CBGridMax", "Display at full screen size", 4, "MaximizeGrid", true, &TStartupGlobals::MaximizeGrid},
    {"CBReturnToGridAfterEdit", "Return to grid after editing record", 5, "ReturnToGridAfterEdit", true,
     &TStartupGlobals::ReturnToGridAfterEdit},
    {"CBTabToAlts", "Automatically tab to alternate lookups when available", 6, "TabToAltLookups", false,
     &TStartupGlobals::TabToAltLookups},
    {"CheckBoxLinks", "Automatically restore template links", 7, "AutoLoadLinks", false,
     &TStartupGlobals::AutoLoadLinks},
};

using TValues = std::map<std::string, std::string>;

class SetupFormTest : public TempDirTest {
protected:
  void SetUp() override {
    Startup.Reset();
    Form = std::make_unique<TMtdeskF>();
  }
  void TearDown() override {
    Form.reset();
    QCoreApplication::removePostedEvents(nullptr);
    Startup.Reset();
  }

  static TValues ProgramValues() {
    TValues values;
    TRegistry reg;
    if (!reg.OpenKeyReadOnly(ProgramKey)) return values;
    for (const std::string& name : reg.GetValueNames()) values[name] = reg.ReadString(name);
    return values;
  }

  // The seven values with the named ones "Y", the rest "N".
  static TValues Written(const std::vector<std::string>& yes) {
    TValues values;
    for (const BoxRow& row : Boxes) values[row.Value] = "N";
    for (const std::string& name : yes) values[name] = "Y";
    return values;
  }

  static QCheckBox* BoxNamed(TSetupF& dialog, const char* name) {
    auto* box = dialog.findChild<QCheckBox*>(name);
    EXPECT_NE(box, nullptr) << name;
    return box;
  }

  // The Settings command from the menu; Inside runs while the dialog shows
  // and ends it with a click.
  void WhileOpen(const std::function<void(TSetupF&)>& Inside) {
    bool ran = false;
    QTimer::singleShot(0, [&] {
      ran = true;
      auto* dialog = dynamic_cast<TSetupF*>(QApplication::activeModalWidget());
      ASSERT_NE(dialog, nullptr);
      EXPECT_EQ(SetupF, dialog);
      Inside(*dialog);
      if (dialog->isVisible()) dialog->reject();
    });
    Form->SetupOptions1->trigger();
    EXPECT_TRUE(ran);
    EXPECT_EQ(SetupF, nullptr);
  }

  static std::string Flags() {
    std::string f;
    for (const BoxRow& row : Boxes) f += Startup.*row.Flag ? '1' : '0';
    return f;
  }

  ScopedEnv Registry{"MATTERDESK_REGISTRY", TempPath("registry.ini")};
  DialogResponder Answers;
  std::unique_ptr<TMtdeskF> Form;
};

TEST_F(SetupFormTest, EachBoxCarriesItsCaptionTagGroupAndSetting) {
  ASSERT_TRUE(Form->SetupOptions1->isEnabled());
  WhileOpen([](TSetupF& dialog) {
    EXPECT_EQ(StoredText(dialog.windowTitle()), "Matterdesk Settings");
    EXPECT_EQ(StoredText(dialog.GroupBoxEntry->title()), "Entry and Maintenance");
    EXPECT_EQ(StoredText(dialog.GroupBoxGrid->title()), "Lookup Grid");
    EXPECT_EQ(StoredText(dialog.BitBtnSave->text()), "&OK");
    EXPECT_EQ(StoredText(dialog.BitBtn1->text()), "E&xit");
    EXPECT_EQ(dialog.findChildren<QCheckBox*>().size(), 7);
    for (const BoxRow& row : Boxes) {
      SCOPED_TRACE(row.Name);
      QCheckBox* box = BoxNamed(dialog, row.Name);
      ASSERT_NE(box, nullptr);
      EXPECT_EQ(StoredText(box->text()), row.Caption);
      EXPECT_EQ(box->property("tag").toInt(), row.Tag);
      EXPECT_EQ(box->parentWidget(), row.InGrid ? dialog.GroupBoxGrid : dialog.GroupBoxEntry);
      EXPECT_EQ(dialog.BoxOfTag(row.Tag), box);
      const TUserFlag* flag = UserFlagOfTag(row.Tag);
      ASSERT_NE(flag, nullptr);
      EXPECT_EQ(std::string(flag->ValueName), row.Value);
      EXPECT_EQ(flag->Flag, row.Flag);
    }
  });
  EXPECT_EQ(UserFlagOfTag(0), nullptr);
  EXPECT_EQ(UserFlagOfTag(8), nullptr);
}

TEST_F(SetupFormTest, OkWritesEveryBoxByItsTagAndTheRunTakesThemOver) {
  // One box at a time: the two boxes of one caption go to their own values.
  for (const BoxRow& row : Boxes) {
    SCOPED_TRACE(row.Name);
    Startup.Reset();
    WhileOpen([&](TSetupF& dialog) {
      QCheckBox* box = BoxNamed(dialog, row.Name);
      ASSERT_NE(box, nullptr);
      EXPECT_FALSE(box->isChecked());
      QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(4, box->height() / 2));
      EXPECT_TRUE(box->isChecked());
      QTest::mouseClick(dialog.BitBtnSave, Qt::LeftButton);
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(ProgramValues(), Written({row.Value}));
    for (const BoxRow& other : Boxes) EXPECT_EQ(Startup.*other.Flag, &other == &row) << other.Name;
  }
  EXPECT_TRUE(Answers.Boxes().empty());
}

TEST_F(SetupFormTest, OkWithoutChangesWritesAllSevenAsTheyStand) {
  Startup.ConfirmSave = Startup.ReturnToGridAfterEdit = Startup.AutoLoadLinks = true;
  WhileOpen([](TSetupF& dialog) {
    for (const BoxRow& row : Boxes) EXPECT_EQ(BoxNamed(dialog, row.Name)->isChecked(), Startup.*row.Flag) << row.Name;
    QTest::mouseClick(dialog.BitBtnSave, Qt::LeftButton);
  });
  EXPECT_EQ(ProgramValues(), Written({"ConfirmSave", "ReturnToGridAfterEdit", "AutoLoadLinks"}));
  EXPECT_EQ(Flags(), "1000101");
}

TEST_F(SetupFormTest, ExitChangesNeitherTheRegistryNorTheRun) {
  PutRegValue(ProgramKey, "AutoClear", "Y");
  PutRegValue(ProgramKey, "MDEntryMode", "N");
  const std::string before = ReadFileBytes(TempPath("registry.ini"));
  Startup.AutoClear = Startup.MaximizeGrid = true;
  for (const bool escape : {false, true}) {
    SCOPED_TRACE(escape ? "Escape" : "E&xit");
    WhileOpen([&](TSetupF& dialog) {
      for (const BoxRow& row : Boxes) dialog.BoxOfTag(row.Tag)->toggle();
      if (escape) {
        QTest::keyClick(&dialog, Qt::Key_Escape);
      } else {
        QTest::mouseClick(dialog.BitBtn1, Qt::LeftButton);
      }
      EXPECT_FALSE(dialog.isVisible());
    });
    EXPECT_EQ(ReadFileBytes(TempPath("registry.ini")), before);
    EXPECT_EQ(Flags(), "0101000");
  }
}

TEST_F(SetupFormTest, ReopenedTheDialogShowsWhatOkKept) {
  WhileOpen([](TSetupF& dialog) {
    dialog.CBTabToAlts->click();
    dialog.CBMax->click();
    dialog.BitBtnSave->click();
  });
  WhileOpen([](TSetupF& dialog) {
    EXPECT_FALSE(dialog.SettingsSaved);
    for (const BoxRow& row : Boxes) {
      const bool kept = std::string(row.Name) == "CBTabToAlts" || std::string(row.Name) == "CBMax";
      EXPECT_EQ(BoxNamed(dialog, row.Name)->isChecked(), kept) << row.Name;
    }
  });
  EXPECT_EQ(Flags(), "0010010");
}

TEST_F(SetupFormTest, AFullSizeGridViewIsFittedBeforeTheDialogAndAfterOk) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  QDialog grid;
  grid.setObjectName("EGridF");
  const QRect small(37, 41, 120, 90);
  grid.setGeometry(small);
  // Off: the grid view keeps its size until OK switches it on.
  WhileOpen([&](TSetupF& dialog) {
    EXPECT_EQ(grid.geometry(), small);
    dialog.CBGridMax->click();
    dialog.BitBtnSave->click();
  });
  EXPECT_EQ(grid.frameGeometry(), area);
  // On: fitted again before the dialog shows.
  grid.setGeometry(small);
  WhileOpen([&](TSetupF&) { EXPECT_EQ(grid.frameGeometry(), area); });
}

}  // namespace
