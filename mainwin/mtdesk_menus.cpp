#include "mainwin/mtdesk_menus.h"

#include "mainwin/mtdesk_form.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

using THandler = void (TMtdeskF::*)();

struct TMenuDef {
  QMenu* TMtdeskF::*Menu;
  const char* Caption;  // nullptr for the pop-up menu
};

constexpr TMenuDef Menus[] = {
    {&TMtdeskF::Edit1, "E&dit          "},
    {&TMtdeskF::Createa1, "Create a Vezadaz &Template      "},
    {&TMtdeskF::Data1, "Data/QU&AP         "},
    {&TMtdeskF::Utilities1, "&Utilities           "},
    {&TMtdeskF::Help1, "&Help"},
    {&TMtdeskF::PopupMenu1, nullptr},
};

enum class TStart { Enabled, Disabled };

// Caption nullptr: a separator. Items start enabled when they have a
// handler, unless Start says otherwise.
struct TItemDef {
  QAction* TMtdeskF::*Item;
  QMenu* TMtdeskF::*Menu;
  const char* Caption;
  THandler Handler;
  int Tag = 0;
  TStart Start = TStart::Enabled;
};

const TItemDef Items[] = {
    {&TMtdeskF::Modify1, &TMtdeskF::Edit1, "&Modify ", &TMtdeskF::Modify1Click},
    {&TMtdeskF::Delete1, &TMtdeskF::Edit1, "&Delete ", &TMtdeskF::Delete1Click},
    {&TMtdeskF::Rename1, &TMtdeskF::Edit1, "&Rename ", &TMtdeskF::Rename1Click},
    {&TMtdeskF::Importdata1, &TMtdeskF::Edit1, "&Import data to ", nullptr},
    {&TMtdeskF::N1, &TMtdeskF::Edit1, nullptr, nullptr},
    {&TMtdeskF::SetupOptions1, &TMtdeskF::Edit1, "&Settings", &TMtdeskF::SetupOptions1Click},
    {&TMtdeskF::Userdefined1, &TMtdeskF::Createa1, "&New template", &TMtdeskF::Userdefined1Click},
    {&TMtdeskF::Copy1, &TMtdeskF::Createa1, "&Copy", &TMtdeskF::Copy1Click},
    {&TMtdeskF::Importfrom1, &TMtdeskF::Createa1, "&Import template from...", &TMtdeskF::Importfrom1Click},
    {&TMtdeskF::EntryMaintenancefor1, &TMtdeskF::Data1, "&Entry/Alter for ", &TMtdeskF::EntryMaintenancefor1Click},
    {&TMtdeskF::Reports1, &TMtdeskF::Data1, "&Create/modify/print a QUAP report for ", &TMtdeskF::Createreport1Click,
     1},
    {&TMtdeskF::Recreatemasterfile1, &TMtdeskF::Utilities1, "&Recreate master file",
     &TMtdeskF::Recreatemasterfile1Click},
    {&TMtdeskF::Rebuildallfiles1, &TMtdeskF::Utilities1, "Re&build all files", nullptr},
    {&TMtdeskF::Setupclientandcaseemailtemplates1, &TMtdeskF::Utilities1, "&Setup client and case email templates",
     &TMtdeskF::Setupclientandcaseemailtemplates1Click, 0, TStart::Disabled},
    {&TMtdeskF::N2, &TMtdeskF::Utilities1, nullptr, nullptr},
    {&TMtdeskF::Printlayoutfor1, &TMtdeskF::Utilities1, "&Print layout for ",
     &TMtdeskF::Printlayoutfor1Click},
    {&TMtdeskF::N3, &TMtdeskF::Utilities1, nullptr, nullptr},
    {&TMtdeskF::ExportTemplate1, &TMtdeskF::Utilities1, "&Export", &TMtdeskF::ExportTemplate1Click},
    {&TMtdeskF::About1, &TMtdeskF::Help1, "&About", &TMtdeskF::About1Click},
    {&TMtdeskF::Modify2, &TMtdeskF::PopupMenu1, "&Modify Template", &TMtdeskF::Modify1Click},
    {&TMtdeskF::Createreport1, &TMtdeskF::PopupMenu1, "QUAP &Report", &TMtdeskF::Createreport1Click, 1},
};

struct TButtonDef {
  QPushButton* TMtdeskF::*Button;
  const char* Caption;
  THandler Handler;
};

const TButtonDef Buttons[] = {
    {&TMtdeskF::BitBtnAdd, "&Create template", &TMtdeskF::Userdefined1Click},
    {&TMtdeskF::BitBtnModify, "&Modify template", &TMtdeskF::Modify1Click},
    {&TMtdeskF::BitBtnAccess, "&Entry/Maintenance", &TMtdeskF::EntryMaintenancefor1Click},
    {&TMtdeskF::BitBtnExit, "E&xit module", &TMtdeskF::BitBtnExitClick},
};

// A double click in the list opens the selected template for entry.
constexpr THandler ListBox1DblClick = &TMtdeskF::EntryMaintenancefor1Click;

// Runs a handler from the event loop: nothing it raises may cross Qt.
auto Runner(TMtdeskF& Form, THandler Handler) {
  return [&Form, Handler] { GuardEvent([&] { (Form.*Handler)(); }); };
}

}  // namespace

std::string Caption(const QAction& Item) { return StoredText(Item.text()); }

void SetCaption(QAction& Item, const std::string& Text) { Item.setText(WidgetText(Text)); }

void BuildMtdeskCommands(TMtdeskF& Form) {
  for (const TMenuDef& def : Menus) {
    QMenu* menu = def.Caption ? Form.MainMenu1->addMenu(WidgetText(def.Caption)) : new QMenu(&Form);
    Form.*def.Menu = menu;
  }
  for (const TItemDef& def : Items) {
    QMenu* menu = Form.*def.Menu;
    QAction* item = def.Caption ? menu->addAction(WidgetText(def.Caption)) : menu->addSeparator();
    Form.*def.Item = item;
    item->setData(def.Tag);
    if (def.Caption) item->setEnabled(def.Handler != nullptr && def.Start == TStart::Enabled);
    if (def.Handler) QObject::connect(item, &QAction::triggered, &Form, Runner(Form, def.Handler));
  }
  for (const TButtonDef& def : Buttons) {
    QPushButton* button = Form.*def.Button;
    button->setText(WidgetText(def.Caption));
    button->setEnabled(def.Handler != nullptr);
    if (def.Handler) QObject::connect(button, &QPushButton::clicked, &Form, Runner(Form, def.Handler));
  }
  QObject::connect(Form.ListBox1, &QListWidget::itemDoubleClicked, &Form, Runner(Form, ListBox1DblClick));
}
