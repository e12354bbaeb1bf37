#include "designer/qt/get_name_form.h"

#include "designer/qt/designer_forms.h"
#include "platform/dialogs.h"
#include "platform/qt/widget_text.h"
#include "platform/text.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TGetNameF::TGetNameF(QWidget* Parent) : TDesignerDialog(Parent, "GetNameF", "Corvenstead Matterdesk") {
  Label3 = new QLabel(WidgetText("Creating a new template"), this);
  Label3->setObjectName("Label3");
  Label2 = new QLabel(WidgetText("Name of copy :"), this);
  Label2->setObjectName("Label2");
  Label1 = new QLabel(WidgetText("(up to 30 characters)"), this);
  Label1->setObjectName("Label1");
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName("Edit1");
  Edit1->setMaxLength(TemplateNameMaxLength);
  Edit1->setToolTip(WidgetText("Enter a name to describe the data in this template."));
  Edit1->setMinimumWidth(Edit1->fontMetrics().horizontalAdvance(QString(TemplateNameMaxLength, 'M')) / 2);
  BitBtn1 = DialogButton(this, "BitBtn1", "&OK");
  BitBtn2 = DialogButton(this, "BitBtn2", "&Cancel");
  // Enter in the name box is OK; Escape cancels as in every dialog.
  BitBtn1->setDefault(true);

  auto* grid = new QGridLayout;
  grid->addWidget(Label2, 0, 0);
  grid->addWidget(Edit1, 0, 1);
  grid->addWidget(Label1, 1, 1);
  auto* column = new QVBoxLayout(this);
  column->addWidget(Label3, 0, Qt::AlignHCenter);
  column->addLayout(grid);
  column->addLayout(CentredRow({BitBtn1, BitBtn2}));
  column->setSizeConstraint(QLayout::SetFixedSize);

  OnClicked(BitBtn1, [this] { BitBtn1Click(); });
  OnClicked(BitBtn2, [this] { reject(); });
}

TGetNameF::~TGetNameF() { ForgetStartForm(this); }

void TGetNameF::FormShow() {
  Cancelled = true;
  Edit1->clear();
  Edit1->setFocus();
}

std::string TGetNameF::Name() const { return StoredText(Edit1->text()); }

void TGetNameF::BitBtn1Click() {
  if (TrimRight(Name()).empty()) {
    ShowMessage(NoTemplateNameMsg);
    Edit1->setFocus();
    return;
  }
  Cancelled = false;
  accept();
}
