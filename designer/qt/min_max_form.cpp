#include "designer/qt/min_max_form.h"

#include "designer/min_max_rules.h"
#include "designer/qt/designer_forms.h"
#include "platform/dialogs.h"
#include "platform/qt/exception_reporter.h"
#include "platform/qt/focus_model.h"
#include "platform/qt/widget_text.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* RangeEdit(QWidget* Parent, const char* Name, const char* Text) {
  auto* e = new QLineEdit(QString::fromLatin1(Text), Parent);
  e->setObjectName(Name);
  e->setMaxLength(MinMaxMaxLength);
  return e;
}

// The edit's text as stored; a character no stored text can hold makes it
// no number.
std::string EditText(const QLineEdit* Edit, bool& Ok) {
  try {
    Ok = true;
    return StoredText(Edit->text());
  } catch (const std::exception&) {
    Ok = false;
    return "";
  }
}

}  // namespace

TMinMaxF::TMinMaxF(QWidget* Parent) : TDesignerDialog(Parent, "MinMaxF", "Set Maximum and Minimum Values") {
  CheckBox1 = new QCheckBox(WidgetText("&Disable minimum and maximum checks for this field"), this);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setChecked(true);
  EditMin = RangeEdit(this, "EditMin", "1");
  EditMax = RangeEdit(this, "EditMax", "99999999");
  RadioGroupMaxMin = new TRadioGroup("Decimals", {"none", "one", "two"}, this);
  RadioGroupMaxMin->setObjectName("RadioGroupMaxMin");
  BitBtn1 = DialogButton(this, "BitBtn1", "&OK");
  BitBtn2 = DialogButton(this, "BitBtn2", "&Cancel");

  auto* edits = new QFormLayout;
  edits->addRow(WidgetText("Minimum value :"), EditMin);
  edits->addRow(WidgetText("Maximum value :"), EditMax);
  auto* column = new QVBoxLayout(this);
  column->addWidget(CheckBox1);
  column->addLayout(edits);
  column->addWidget(RadioGroupMaxMin);
  column->addLayout(CentredRow({BitBtn1, BitBtn2}));
  column->setSizeConstraint(QLayout::SetFixedSize);

  Focus = new TFocusModel(this);
  for (QLineEdit* e : {EditMin, EditMax}) {
    e->installEventFilter(this);
    Focus->BindExit(e, [this](QWidget* Sender) { EditMinExit(Sender); });
    connect(e, &QLineEdit::textEdited, this, [this] { GuardEvent([this] { EditMinChange(); }); });
  }
  RadioGroupMaxMin->OnClick([this] { RadioGroupMaxMinClick(); });
  OnClicked(BitBtn1, [this] { BitBtn1Click(); });
  OnClicked(BitBtn2, [this] { reject(); });
}

TMinMaxF::~TMinMaxF() { ForgetStartForm(this); }

void TMinMaxF::FormShow() { OK = false; }

bool TMinMaxF::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(Event);
    const QString text = key->text();
    // Characters only: editing keys, Tab and shortcuts (a paste) pass.
    if (text.size() == 1 && (text[0] >= QChar(' ') || text[0] == QChar('\b'))) {
      bool keep = true;
      GuardEvent([&] { keep = EditMinKeyPress(static_cast<QLineEdit*>(Watched), text[0]); });
      if (!keep) return true;
    }
  }
  return QDialog::eventFilter(Watched, Event);
}

bool TMinMaxF::EditMinKeyPress(QLineEdit* Sender, QChar Key) {
  const char c = Key.unicode() < 0x80 ? char(Key.unicode()) : '\0';
  bool ok = true;
  const std::string text = EditText(Sender, ok);
  return MinMaxKeyAccepted(text, c);
}

void TMinMaxF::EditMinChange() { CheckBox1->setChecked(false); }

void TMinMaxF::EditMinExit(QWidget* Sender) {
  auto* edit = static_cast<QLineEdit*>(Sender);
  bool ok = true;
  const std::string text = EditText(edit, ok);
  const std::optional<std::string> kept = ok ? MinMaxExitText(text, Decimals()) : std::nullopt;
  if (!kept) {
    ShowMessage(MinMaxRangeMsg);
    Focus->FocusControl(edit);
    return;
  }
  edit->setText(WidgetText(*kept));
}

void TMinMaxF::RadioGroupMaxMinClick() {
  FormatDecimals(EditMin);
  FormatDecimals(EditMax);
}

void TMinMaxF::FormatDecimals(QLineEdit* Edit) {
  bool ok = true;
  const std::string text = EditText(Edit, ok);
  if (ok) Edit->setText(WidgetText(::FormatDecimals(text, Decimals())));
}

int TMinMaxF::Decimals() const { return RadioGroupMaxMin->ItemIndex(); }
void TMinMaxF::SetDecimals(int Index) { RadioGroupMaxMin->SetItemIndex(Index); }

void TMinMaxF::BitBtn1Click() {
  if (!CheckBox1->isChecked()) {
    // OK by its shortcut leaves no edit: both are checked as if left.
    for (QLineEdit* e : {EditMin, EditMax}) {
      bool ok = true;
      const std::string text = EditText(e, ok);
      if (!ok || !MinMaxExitText(text, Decimals())) {
        ShowMessage(MinMaxRangeMsg);
        Focus->FocusControl(e);
        return;
      }
    }
    bool ok = true;
    if (MinExceedsMax(EditText(EditMin, ok), EditText(EditMax, ok))) {
      ShowMessage(MinExceedsMaxMsg);
      Focus->FocusControl(EditMin);
      return;
    }
  }
  OK = true;
  accept();
}
