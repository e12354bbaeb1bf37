// The main window offscreen over real master files: its commands and their
// captions, selection by click and right click, the icon's message, the
// buttons' highlighting, the e-mail setup item, the exit and the timer.
#include "mainwin/mtdesk_form.h"
#include "templates/email_setup.h"

#include "mainwin/mtdesk_menus.h"
#include "platform/command_line.h"
#include "platform/files.h"
#include "platform/format.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"
#include "templates/descriptor_loader.h"
#include "templates/email_templates.h"
#include "templates/startup_globals.h"
#include "testing/dialog_responder.h"
#include "mainwin/tests/main_window_fixture.h"
#include "testing/status_bar_look.h"
#include "testing/store_files_fixture.h"

#include <QAction>
#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class MtdeskFormTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    Form = std::make_unique<TMtdeskF>();
  }

  // A master holding each (name, number), then the list shown from it.
  void ShowWith(const std::vector<std::pair<std::string, int>>& templates) {
    CreateMaster();
    BtrOpenFile(MasterFileNo, MasterFileName(), 0);
    for (const auto& [name, number] : templates) InsertMasterRecord(TTemplateNumber(number).Stored(), name);
    BtrCloseFile(MasterFileNo);
    ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
    Form->show();
  }

  // A mouse press on the list's item Row (any row for an empty place).
  void PressOnList(Qt::MouseButton button, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, at, Form->ListBox1->viewport()->mapToGlobal(at), button, button,
                      Qt::NoModifier);
    QApplication::sendEvent(Form->ListBox1->viewport(), &press);
  }
  QPoint ItemCentre(int row) const { return Form->ListBox1->visualItemRect(Form->ListBox1->item(row)).center(); }

  static void Send(QWidget* to, QEvent::Type type) {
    if (type == QEvent::MouseMove) {
      QMouseEvent move(type, QPointF(2, 2), QPointF(2, 2), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
      QApplication::sendEvent(to, &move);
    } else {
      QFocusEvent focus(type);
      QApplication::sendEvent(to, &focus);
    }
  }

  // The bold buttons, in column order.
  std::vector<std::string> BoldButtons() const {
    std::vector<std::string> bold;
    for (QPushButton* b : {Form->BitBtnAdd, Form->BitBtnModify, Form->BitBtnAccess, Form->BitBtnExit}) {
      EXPECT_EQ(ButtonMargin(*b), b->font().bold() ? 5 : 6);
      if (b->font().bold()) bold.push_back(StoredText(b->text()));
    }
    return bold;
  }

  std::string Selected() const { return TrimRight(Form->SelectedItem()); }

  DialogResponder Boxes;
};

struct ItemRow {
  std::string Caption;
  bool Enabled;
  int Tag;
  bool operator==(const ItemRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ItemRow& r) {
  return out << "{\"" << r.Caption << "\", " << r.Enabled << ", " << r.Tag << "}";
}

std::vector<ItemRow> Rows(const QMenu& menu) {
  std::vector<ItemRow> rows;
  for (const QAction* a : menu.actions()) rows.push_back({a->isSeparator() ? "-" : Caption(*a), a->isEnabled(),
                                                          a->data().toInt()});
  return rows;
}

TEST_F(MtdeskFormTest, AnEmptyMasterShowsEveryCommandWithoutANameAndOnlyTheUnbuiltOnesDisabled) {
  // Descriptors without master records: a folder that holds templates, so
  // the empty master is listed as it is.
  ASSERT_TRUE(CreateEmailDescriptor(4, 5, false));
  ShowWith({});
  EXPECT_EQ(Form->ListBox1->count(), 0);
  ExpectSunkenPanels(*Form->StatusBar1, 2);
  std::vector<std::string> menus;
  for (const QAction* a : Form->MainMenu1->actions()) menus.push_back(Caption(*a));
  EXPECT_EQ(menus, (std::vector<std::string>{"E&dit          ", "Create a Vezadaz &Template      ",
                                             "Data/QU&AP         ", "&Utilities           ", "&Help"}));
  EXPECT_EQ(Rows(*Form->Edit1), (std::vector<ItemRow>{{"&Modify ", true, 0},
                                                      {"&Delete ", true, 0},
                                                      {"&Rename ", true, 0},
                                                      {"&Write data to  from ...", false, 0},
                                                      {"-", true, 0},
                                                      {"&Settings", true, 0}}));
  EXPECT_EQ(Rows(*Form->Createa1), (std::vector<ItemRow>{{"&New template", true, 0},
                                                         {"&Copy ", true, 0},
                                                         {"&Import template from...", true, 0}}));
  EXPECT_EQ(Rows(*Form->Data1), (std::vector<ItemRow>{{"&Entry/Maintenance for ", true, 0},
                                                      {"&Create/Modify or Print QUAP report for ", true, 1}}));
  EXPECT_EQ(Rows(*Form->Utilities1), (std::vector<ItemRow>{{"&Recreate master file", true, 0},
                                                           {"Re&build all files", false, 0},
                                                           {"&Setup client and case email templates", true, 0},
                                                           {"-", true, 0},
                                                           {"&Print layout for ", true, 0},
                                                           {"-", true, 0},
                                                           {"&Export template ", true, 0}}));
  EXPECT_EQ(Rows(*Form->Help1), (std::vector<ItemRow>{{"&About", true, 0}}));
  EXPECT_EQ(Rows(*Form->PopupMenu1),
            (std::vector<ItemRow>{{"&Modify Template", true, 0}, {"QUAP &Report", true, 1}}));
  std::vector<ItemRow> buttons;
  for (QPushButton* b : {Form->BitBtnAdd, Form->BitBtnModify, Form->BitBtnAccess, Form->BitBtnExit})
    buttons.push_back({StoredText(b->text()), b->isEnabled(), 0});
  EXPECT_EQ(buttons, (std::vector<ItemRow>{{"&Create template", true, 0},
                                           {"&Modify template", true, 0},
                                           {"&Entry/Maintenance", true, 0},
                                           {"E&xit module", true, 0}}));
}

TEST_F(MtdeskFormTest, TheFirstItemIsSelectedAndTheCaptionsNameIt) {
  ShowWith({{"Zed", 4}, {"Alpha", 12}});
  ASSERT_EQ(Form->ListBox1->count(), 2);
  EXPECT_EQ(StoredText(Form->ListBox1->item(0)->text()), Format("%-30s", "Alpha"));
  EXPECT_EQ(Selected(), "Alpha");
  EXPECT_EQ(Caption(*Form->Modify1), "&Modify 'Alpha'");
  EXPECT_EQ(Caption(*Form->Delete1), "&Delete 'Alpha'");
  EXPECT_EQ(Caption(*Form->Rename1), "&Rename 'Alpha'");
  EXPECT_EQ(Caption(*Form->Importdata1), "&Write data to 'Alpha' from ...");
  EXPECT_EQ(Caption(*Form->Copy1), "&Copy 'Alpha'");
  EXPECT_EQ(Caption(*Form->EntryMaintenancefor1), "&Entry/Maintenance for 'Alpha'");
  EXPECT_EQ(Caption(*Form->Printlayoutfor1), "&Print layout for 'Alpha'");
  EXPECT_EQ(Caption(*Form->ExportTemplate1), "&Export template 'Alpha'");
  EXPECT_EQ(Caption(*Form->Reports1), "&Create/Modify or Print QUAP report for 'Alpha'");
  // A reload lists the master again, not twice.
  ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
  EXPECT_EQ(Form->ListBox1->count(), 2);
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

TEST_F(MtdeskFormTest, TheListRunsInThreeColumnsOfFixedItemsInTheMastersOrder) {
  ShowWith({{"b", 1}, {"a", 2}, {"c", 3}});
  const QListView& list = *Form->ListBox1;
  EXPECT_EQ(list.flow(), QListView::TopToBottom);
  EXPECT_TRUE(list.isWrapping());
  EXPECT_TRUE(list.uniformItemSizes());
  EXPECT_FALSE(Form->ListBox1->isSortingEnabled());
  EXPECT_EQ(list.gridSize(), QSize(list.viewport()->width() / 3, 16));
  EXPECT_EQ(Form->ListBox1->visualItemRect(Form->ListBox1->item(1)).top(),
            Form->ListBox1->visualItemRect(Form->ListBox1->item(0)).top() + 16);
}

TEST_F(MtdeskFormTest, ClickAndRightClickSelectAnItemAndRenameTheCommands) {
  ShowWith({{"Alpha", 1}, {"Beta", 2}, {"Gamma", 3}});
  PressOnList(Qt::LeftButton, ItemCentre(2));
  EXPECT_EQ(Selected(), "Gamma");
  EXPECT_EQ(Caption(*Form->Modify1), "&Modify 'Gamma'");

  PressOnList(Qt::RightButton, ItemCentre(1));
  EXPECT_EQ(Selected(), "Beta");
  EXPECT_EQ(Caption(*Form->Delete1), "&Delete 'Beta'");

  // A right click beside the items keeps the selection.
  PressOnList(Qt::RightButton, QPoint(Form->ListBox1->viewport()->width() - 2,
                                      Form->ListBox1->viewport()->height() - 2));
  EXPECT_EQ(Selected(), "Beta");
}

TEST_F(MtdeskFormTest, ARightClickOnTheIconTellsTheSelectedTemplatesNumber) {
  ShowWith({{"Alpha", 12}, {"Beta", 7}});
  PressOnList(Qt::RightButton, ItemCentre(1));
  Boxes.Expect("The internal index for Beta is 7");
  Form->Image1MouseDown(Qt::RightButton);
  Form->Image1MouseDown(Qt::LeftButton);
  ASSERT_EQ(Boxes.Boxes().size(), 1u);
  EXPECT_EQ(Boxes.Boxes()[0].type, mtInformation);
}

TEST_F(MtdeskFormTest, TheButtonUnderTheMouseOrInFocusIsBold) {
  ShowWith({});
  EXPECT_TRUE(BoldButtons().empty());
  Send(Form->BitBtnExit, QEvent::MouseMove);
  EXPECT_EQ(BoldButtons(), std::vector<std::string>{"E&xit module"});
  Send(Form->ListBox1->viewport(), QEvent::MouseMove);
  EXPECT_TRUE(BoldButtons().empty());
  Send(Form->BitBtnExit, QEvent::FocusIn);
  EXPECT_EQ(BoldButtons(), std::vector<std::string>{"E&xit module"});
  Send(Form->BitBtnExit, QEvent::FocusOut);
  EXPECT_TRUE(BoldButtons().empty());
  Form->BitBtnAddEnter(Form->BitBtnAdd);
  EXPECT_EQ(BoldButtons(), std::vector<std::string>{"&Create template"});
  Send(Form->Shape3, QEvent::MouseMove);
  EXPECT_TRUE(BoldButtons().empty());
}

// Each button carries its own glyph from the program's resources.
TEST_F(MtdeskFormTest, EachButtonShowsItsOwnGlyph) {
  ShowWith({});
  std::vector<QImage> glyphs;
  for (QPushButton* b : {Form->BitBtnAdd, Form->BitBtnModify, Form->BitBtnAccess, Form->BitBtnExit}) {
    ASSERT_FALSE(b->icon().isNull()) << StoredText(b->text());
    glyphs.push_back(b->icon().pixmap(20, 20).toImage());
  }
  for (size_t i = 0; i < glyphs.size(); ++i)
    for (size_t k = i + 1; k < glyphs.size(); ++k) EXPECT_NE(glyphs[i], glyphs[k]) << i << " " << k;
}

TEST_F(MtdeskFormTest, TheEmailSetupIsOfferedOnlyWhileNeitherTemplateExists) {
  ShowWith({{"Matter e-mail", 3}});
  EXPECT_FALSE(Form->Setupclientandcaseemailtemplates1->isEnabled());

  DeleteFile(MasterFileName());
  Form = std::make_unique<TMtdeskF>();
  ShowWith({{"Other", 0}});
  ASSERT_TRUE(Form->Setupclientandcaseemailtemplates1->isEnabled());
  Boxes.Answer(mrOk);
  Form->Setupclientandcaseemailtemplates1->trigger();
  ASSERT_EQ(Boxes.Boxes().size(), 1u);
  EXPECT_EQ(Boxes.Boxes()[0].type, mtConfirmation);
  EXPECT_FALSE(Form->Setupclientandcaseemailtemplates1->isEnabled());
  std::vector<std::string> items;
  for (int i = 0; i < Form->ListBox1->count(); ++i) items.push_back(TrimRight(StoredText(Form->ListBox1->item(i)->text())));
  EXPECT_EQ(items, (std::vector<std::string>{"Client e-mail", "Matter e-mail", "Other"}));
  // The line the matter template's start wrote stays.
  EXPECT_EQ(ReadFileBytes(TempPath("CLCA.IDX")), "01     3\r\n");
  // A reload leaves it off.
  ASSERT_EQ(Form->FormShow(), TListOutcome::Listed);
  EXPECT_FALSE(Form->Setupclientandcaseemailtemplates1->isEnabled());
  EXPECT_FALSE(Terminated());
}

TEST_F(MtdeskFormTest, ExitAndTheTimerEndTheLoopWithStatusZero) {
  ShowWith({{"Alpha", 1}});
  // Guards only: a loop that never ends fails instead of hanging.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(3); });

  guard.start(20000);
  QTimer::singleShot(0, Form->BitBtnExit, &QPushButton::click);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(Form->isVisible());

  Form->show();
  guard.start(20000);
  Form->Timer1->start();
  EXPECT_EQ(Form->Timer1->interval(), 175);
  EXPECT_EQ(QApplication::exec(), 0);
  EXPECT_FALSE(Form->Timer1->isActive());
}

TEST_F(MtdeskFormTest, DestroyingTheFormClosesAMasterLeftOpen) {
  ShowWith({});
  BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  Form.reset();
  EXPECT_FALSE(BtrIsFileOpen(MasterFileNo));
}

}  // namespace
