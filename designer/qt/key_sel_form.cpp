#include "designer/qt/key_sel_form.h"

#include "platform/qt/widget_text.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TKeySelF::TKeySelF(QWidget* Parent) : TDesignerDialog(Parent, "KeySelF", "Dropdown Index Selection") {
  Label1 = new QLabel(this);
  Label1->setObjectName("Label1");
  ComboBoxKeyChoice = new QComboBox(this);
  ComboBoxKeyChoice->setObjectName("ComboBoxKeyChoice");
  ComboBoxKeyChoice->setEditable(false);
  SaveBitBtn = DialogButton(this, "SaveBitBtn", "&OK");
  CloseBitBtn = DialogButton(this, "CloseBitBtn", "&Cancel");
  auto* column = new QVBoxLayout(this);
  column->addWidget(Label1);
  column->addWidget(ComboBoxKeyChoice);
  column->addLayout(CentredRow({SaveBitBtn, CloseBitBtn}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  OnClicked(SaveBitBtn, [this] { SaveBitBtnClick(); });
  OnClicked(CloseBitBtn, [this] { CloseBitBtnClick(); });
}

void TKeySelF::FormShow() {
  OK = false;
  if (ComboBoxKeyChoice->count() > 0 && ComboBoxKeyChoice->currentIndex() < 0) ComboBoxKeyChoice->setCurrentIndex(0);
}

void TKeySelF::SetPrompt(const std::string& Text) { Label1->setText(WidgetText(Text)); }

void TKeySelF::AddChoice(const std::string& Text, int IndexNo) {
  ComboBoxKeyChoice->addItem(WidgetText(Text), IndexNo);
}

std::string TKeySelF::ChosenText() const { return StoredText(ComboBoxKeyChoice->currentText()); }

int TKeySelF::ChosenIndexNo() const {
  const QVariant data = ComboBoxKeyChoice->currentData();
  return data.isValid() ? data.toInt() : 0;
}

void TKeySelF::SaveBitBtnClick() {
  OK = true;
  accept();
}

void TKeySelF::CloseBitBtnClick() { reject(); }
