#include "mainwin/setup_form.h"

#include "mainwin/user_flags.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"
#include "platform/qt/work_area.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TSetupF* SetupF = nullptr;

namespace {

const char* const TagProperty = "tag";
// The grid view's form is known by its name: it lives with the entry
// screen, which the main window reaches only through its operations.
const char* const GridViewName = "EGridF";

QCheckBox* Box(QWidget* Group, const char* Name, const char* Caption, int Tag) {
  auto* box = new QCheckBox(WidgetText(Caption), Group);
  box->setObjectName(QString::fromLatin1(Name));
  box->setProperty(TagProperty, Tag);
  Group->layout()->addWidget(box);
  return box;
}

QGroupBox* Group(const char* Name, const char* Caption, QWidget* Parent) {
  auto* group = new QGroupBox(WidgetText(Caption), Parent);
  group->setObjectName(QString::fromLatin1(Name));
  new QVBoxLayout(group);
  return group;
}

QPushButton* Button(const char* Name, const char* Caption, QWidget* Parent) {
  auto* button = new QPushButton(WidgetText(Caption), Parent);
  button->setObjectName(QString::fromLatin1(Name));
  button->setAutoDefault(false);
  return button;
}

}  // namespace

TSetupF::TSetupF(QWidget* Parent)
    : QDialog(Parent),
      GroupBoxEntry(Group("GroupBoxEntry", "Entry and Maintenance", this)),
      GroupBoxGrid(Group("GroupBoxGrid", "Lookup Grid", this)),
      CBConfirmSave(Box(GroupBoxEntry, "CBConfirmSave", "Confirm on save", 1)),
      CBAutoClear(Box(GroupBoxEntry, "CBAutoClear", "Clear screen after save", 2)),
      CBMax(Box(GroupBoxEntry, "CBMax", "Display at full screen size", 3)),
      CBGridMax(Box(GroupBoxGrid, "CBGridMax", "Display at full screen size", 4)),
      CBReturnToGridAfterEdit(
          Box(GroupBoxGrid, "CBReturnToGridAfterEdit", "Return to grid after editing record", 5)),
      CBTabToAlts(Box(GroupBoxEntry, "CBTabToAlts", "Automatically tab to alternate lookups when available", 6)),
      CheckBoxLinks(Box(GroupBoxEntry, "CheckBoxLinks", "Automatically restore template links", 7)),
      BitBtnSave(Button("BitBtnSave", "&OK", this)),
      BitBtn1(Button("BitBtn1", "E&xit", this)) {
  setObjectName(QStringLiteral("SetupF"));
  setWindowTitle(WidgetText("Matterdesk Settings"));
  BitBtnSave->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(BitBtnSave);
  buttons->addWidget(BitBtn1);
  auto* rows = new QVBoxLayout(this);
  rows->addWidget(GroupBoxEntry);
  rows->addWidget(GroupBoxGrid);
  rows->addLayout(buttons);
  rows->setSizeConstraint(QLayout::SetFixedSize);

  connect(BitBtnSave, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnSaveClick(); }); });
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::reject);
}

void TSetupF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  FormShow();
}

void TSetupF::FormShow() {
  SettingsSaved = false;
  setResult(0);
}

void TSetupF::BitBtnSaveClick() {
  SettingsSaved = true;
  WriteUserFlags([this](int Tag) {
    const QCheckBox* box = BoxOfTag(Tag);
    return box && box->isChecked();
  });
  accept();
}

QCheckBox* TSetupF::BoxOfTag(int Tag) const {
  for (QCheckBox* box : findChildren<QCheckBox*>()) {
    if (box->property(TagProperty).toInt() == Tag) return box;
  }
  return nullptr;
}

void FitGridViewToWorkArea() {
  for (QWidget* widget : QApplication::allWidgets()) {
    if (widget->objectName() == QLatin1String(GridViewName) && widget->isWindow()) FitFormToWorkArea(*widget);
  }
}
