#include "designer/qt/detail_form.h"

#include "designer/qt/dialog_parts.h"
#include "designer/template_details.h"
#include "platform/dialogs.h"
#include "platform/qt/widget_text.h"
#include "templates/store_constants.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int GridWidth = 460;

}  // namespace

const std::string IndirectIndexesText =
    "The following indexes are not used directly by other templates, but they directly affect the performance of an "
    "index that is used by another template, and for this reason they are also unmodifiable:";

TDetailF::TDetailF(QWidget* Parent) : QDialog(Parent) {
  setObjectName("DetailF");
  setWindowTitle(WidgetText("Index References:"));
  StringGrid1 = new QTableWidget(0, 2, this);
  StringGrid1->setObjectName("StringGrid1");
  StringGrid1->setHorizontalHeaderLabels({WidgetText("Template Name"), WidgetText("Name of Lookup Field")});
  StringGrid1->verticalHeader()->hide();
  StringGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
  StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  StringGrid1->setMinimumWidth(GridWidth);
  // Selected and focused cells stay white, in the grid's own font colour.
  QPalette palette = StringGrid1->palette();
  palette.setColor(QPalette::Highlight, Qt::white);
  palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
  StringGrid1->setPalette(palette);
  Label1 = new QLabel(WidgetText(IndirectIndexesText), this);
  Label1->setObjectName("Label1");
  Label1->setWordWrap(true);
  Label1->hide();
  BitBtn1 = DialogButton(this, "BitBtn1", "&OK");
  BitBtn1->setDefault(true);
  connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);
  auto* column = new QVBoxLayout(this);
  column->addWidget(StringGrid1, 1);
  column->addWidget(Label1);
  column->addLayout(CentredRow({BitBtn1}));
}

void ShowIndexReferences(const std::vector<TLookupReference>& References,
                         const std::vector<std::string>& IndirectNames, QWidget* Parent) {
  if (References.empty()) {
    MessageDlg("Unable to obtain this information." + ContactMsg, mtInformation, mbOKOnly);
    return;
  }
  std::vector<TDetailRow> rows;
  try {
    rows = DetailRows(References);
  } catch (const std::exception& e) {
    MessageDlg("Unable to reset the internal index for MASTER.DSC.\r\r" + std::string(e.what()), mtError, mbOKOnly);
    return;
  }
  TDetailF form(Parent);
  form.StringGrid1->setRowCount(int(rows.size()));
  for (size_t i = 0; i < rows.size(); ++i) {
    form.StringGrid1->setItem(int(i), 0, new QTableWidgetItem(WidgetText(rows[i].TemplateName)));
    form.StringGrid1->setItem(int(i), 1, new QTableWidgetItem(WidgetText(rows[i].FieldName)));
  }
  if (!IndirectNames.empty()) {
    std::string text = IndirectIndexesText + "     ";
    for (size_t i = 0; i < IndirectNames.size(); ++i) text += (i ? ", " : "") + IndirectNames[i];
    form.Label1->setText(WidgetText(text));
    form.Label1->show();
  }
  form.exec();
}
