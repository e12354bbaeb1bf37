#include "designer/qt/dialog_parts.h"

#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>
#include <QVBoxLayout>

TDesignerDialog::TDesignerDialog(QWidget* Parent, const char* Name, const std::string& Caption) : QDialog(Parent) {
  setObjectName(Name);
  setWindowTitle(WidgetText(Caption));
  setModal(true);
}

void TDesignerDialog::showEvent(QShowEvent* Event) {
  QDialog::showEvent(Event);
  if (!Event->spontaneous()) GuardEvent([this] { FormShow(); });
}

QPushButton* DialogButton(QWidget* Parent, const char* Name, const std::string& Caption) {
  auto* b = new QPushButton(WidgetText(Caption), Parent);
  b->setObjectName(Name);
  b->setAutoDefault(false);
  b->setDefault(false);
  return b;
}

QHBoxLayout* CentredRow(std::initializer_list<QWidget*> Widgets) {
  auto* row = new QHBoxLayout;
  row->addStretch();
  for (QWidget* w : Widgets) row->addWidget(w);
  row->addStretch();
  return row;
}

void OnClicked(QAbstractButton* Button, std::function<void()> Handler) {
  QObject::connect(Button, &QAbstractButton::clicked, Button, [Handler] { GuardEvent(Handler); });
}

TRadioGroup::TRadioGroup(const std::string& Title, const std::vector<std::string>& Items, QWidget* Parent)
    : QGroupBox(WidgetText(Title), Parent), group_(new QButtonGroup(this)) {
  auto* column = new QVBoxLayout(this);
  for (size_t k = 0; k < Items.size(); ++k) {
    auto* b = new QRadioButton(WidgetText(Items[k]), this);
    group_->addButton(b, int(k));
    column->addWidget(b);
  }
}

int TRadioGroup::ItemIndex() const { return group_->checkedId(); }

void TRadioGroup::SetItemIndex(int Index) {
  if (Index >= 0 && Index < Count()) {
    group_->button(Index)->setChecked(true);
    return;
  }
  // An exclusive group keeps one button checked; none is checked only
  // with the rule lifted for the moment.
  group_->setExclusive(false);
  for (QAbstractButton* b : group_->buttons()) b->setChecked(false);
  group_->setExclusive(true);
}

QRadioButton* TRadioGroup::Item(int Index) const { return static_cast<QRadioButton*>(group_->button(Index)); }
int TRadioGroup::Count() const { return int(group_->buttons().size()); }

void TRadioGroup::OnClick(std::function<void()> Handler) {
  connect(group_, &QButtonGroup::idClicked, this, [Handler](int) { GuardEvent(Handler); });
}

std::vector<std::string> ListTexts(const QListWidget* List) {
  std::vector<std::string> texts;
  for (int k = 0; k < List->count(); ++k) texts.push_back(StoredText(List->item(k)->text()));
  return texts;
}

void SetListTexts(QListWidget* List, const std::vector<std::string>& Texts) {
  List->clear();
  for (const std::string& t : Texts) List->addItem(WidgetText(t));
}
