#include "designer/qt/make_cli_form.h"

#include "platform/qt/widget_text.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TMakeCliF::TMakeCliF(QWidget* Parent) : TDesignerDialog(Parent, "MakeCliF", "Confirmation") {
  Label1 = new QLabel(WidgetText("A Corvenstead Client Lookup has NOT been detected in your template."), this);
  Label1->setObjectName("Label1");
  Label2 = new QLabel(WidgetText("The CaseSuffix lookup you are currently creating may not function properly."), this);
  Label2->setObjectName("Label2");
  RadioGroup1 = new TRadioGroup(
      " Please select from the following options:  ",
      {"Yes, I will need a Client lookup, please create one for me.",
       "I am certain that I use unique case suffixes in Corvenstead - I don't need a Client lookup.",
       "I will create my own Client lookup before I create my template.",
       "I got here in error, please return me to the previous screen."},
      this);
  RadioGroup1->setObjectName("RadioGroup1");
  RadioGroup1->SetItemIndex(CreateOne);
  BitBtnSave = DialogButton(this, "BitBtnSave", "&OK");
  BitBtn2 = DialogButton(this, "BitBtn2", "&Help");
  auto* column = new QVBoxLayout(this);
  column->addWidget(Label1);
  column->addWidget(Label2);
  column->addWidget(RadioGroup1);
  column->addLayout(CentredRow({BitBtnSave, BitBtn2}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  OnClicked(BitBtnSave, [this] { accept(); });
}

int TMakeCliF::ItemIndex() const { return result() == Accepted ? RadioGroup1->ItemIndex() : BackOut; }
