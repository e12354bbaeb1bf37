#include "entry/qt/dup_sel_form.h"

#include "platform/dialogs.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TDupSelF* DupSelF = nullptr;

TDupSelF::~TDupSelF() {
  if (DupSelF == this) DupSelF = nullptr;
}

TDupSelF::TDupSelF(QWidget* Parent) : QDialog(Parent) {
  setObjectName("DupSelF");
  setWindowTitle(WidgetText("Select Record"));
  setModal(true);
  auto* outer = new QVBoxLayout(this);
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  outer->addWidget(ListBox1, 1);
  Label1 = new QLabel(WidgetText("More than one record matches your specified replacement value.  Please select the "
                                 "record you wish to use from the list above."),
                      this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  QFont f("Arial");
  f.setBold(true);
  Label1->setFont(f);
  Label1->setStyleSheet("color: #0000FF");
  outer->addWidget(Label1);
  auto* buttons = new QHBoxLayout;
  BitBtnSelect = new QPushButton(WidgetText("&Select Highlighted Record"), this);
  BitBtnSelect->setObjectName("BitBtnSelect");
  BitBtnCancel = new QPushButton(WidgetText("&Cancel Search and Replace"), this);
  BitBtnCancel->setObjectName("BitBtnCancel");
  for (QPushButton* b : {BitBtnSelect, BitBtnCancel}) {
    b->setAutoDefault(false);
    buttons->addWidget(b);
  }
  outer->addLayout(buttons);
  resize(420, 300);
  connect(BitBtnSelect, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnSelectClick(); }); });
  connect(BitBtnCancel, &QPushButton::clicked, this, [this] { GuardEvent([this] { BitBtnCancelClick(); }); });
  // A double click picks the row as the button does.
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { GuardEvent([this] { BitBtnSelectClick(); }); });
}

void TDupSelF::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) GuardEvent([this] { FormShow(); });
}

void TDupSelF::FormShow() {
  Selected = false;
  if (ListBox1->count() > 0) ListBox1->setCurrentRow(0);
  ListBox1->setFocus();
}

void TDupSelF::BitBtnSelectClick() {
  Selected = true;
  done(mrYes);
}

void TDupSelF::BitBtnCancelClick() { reject(); }
