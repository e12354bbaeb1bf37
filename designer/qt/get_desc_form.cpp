#include "designer/qt/get_desc_form.h"

#include "designer/host_fields.h"
#include "designer/qt/designer_forms.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int ListSlack = 15;  // pixels below the twenty rows

}  // namespace

TGetDescF::TGetDescF(QWidget* Parent)
    : TDesignerDialog(Parent, "GetDescF", "Select Case Description Information") {
  ListBox1 = new QListWidget(this);
  ListBox1->setObjectName("ListBox1");
  BitBtnSave = DialogButton(this, "BitBtnSave", "&OK");
  BitBtnCancel = DialogButton(this, "BitBtnCancel", "&Cancel");
  auto* column = new QVBoxLayout(this);
  column->addWidget(ListBox1);
  column->addLayout(CentredRow({BitBtnSave, BitBtnCancel}));
  column->setSizeConstraint(QLayout::SetFixedSize);
  OnClicked(BitBtnSave, [this] { BitBtnSaveClick(); });
  OnClicked(BitBtnCancel, [this] { reject(); });
  connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] { GuardEvent([this] { BitBtnSaveClick(); }); });
}

TGetDescF::~TGetDescF() { ForgetStartForm(this); }

void TGetDescF::FormShow() {
  Cancelled = true;
  ListBox1->clear();
  for (int n = 1; n <= HostCode::DescLines; ++n) ListBox1->addItem(WidgetText(CaseDescriptionLine(n)));
  const int rows = HostCode::DescLines * ListBox1->sizeHintForRow(0);
  ListBox1->setFixedHeight(rows + ListSlack);
  ListBox1->setFixedWidth(ListBox1->sizeHintForColumn(0) + 2 * ListBox1->frameWidth() + 8);
  ListBox1->setCurrentRow(0);
  ListBox1->setFocus();
}

std::string TGetDescF::SelectedLine() const {
  const QListWidgetItem* item = ListBox1->currentItem();
  return item ? StoredText(item->text()) : "";
}

void TGetDescF::BitBtnSaveClick() {
  Cancelled = false;
  accept();
}
