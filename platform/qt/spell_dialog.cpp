#include "platform/qt/spell_dialog.h"

#include "platform/dialogs.h"
#include "platform/format.h"
#include "platform/qt/cursor.h"
#include "platform/qt/widget_text.h"
#include "platform/spelling.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QValidator>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const std::string CompleteText = "The spelling check is complete.";

std::string TooLongText(int Limit) {
  return Format("The change would make the text longer than the %d characters this field holds. It was not made.",
                Limit);
}

class TLineEditTarget : public TSpellTarget {
public:
  explicit TLineEditTarget(QLineEdit* Edit) : edit_(Edit) {}
  std::string Text() const override { return StoredText(edit_->text()); }
  void SetText(const std::string& Text) override { edit_->setText(WidgetText(Text)); }
  void Select(size_t Start, size_t Length) override { edit_->setSelection(int(Start), int(Length)); }
  bool Takes(const std::string& Text) const override {
    QString text = WidgetText(Text);
    if (text.size() > edit_->maxLength()) return false;
    int pos = 0;
    return !edit_->validator() || edit_->validator()->validate(text, pos) != QValidator::Invalid;
  }
  int Limit() const override { return edit_->maxLength(); }

private:
  QLineEdit* edit_;
};

class TPlainTextTarget : public TSpellTarget {
public:
  explicit TPlainTextTarget(QPlainTextEdit* Memo) : memo_(Memo) {}
  std::string Text() const override { return StoredText(memo_->toPlainText()); }
  void SetText(const std::string& Text) override {
    // Kept where it was: a whole new text would scroll to its top.
    const int scrolled = memo_->verticalScrollBar()->value();
    memo_->setPlainText(WidgetText(Text));
    memo_->verticalScrollBar()->setValue(scrolled);
  }
  void Select(size_t Start, size_t Length) override {
    QTextCursor cursor = memo_->textCursor();
    cursor.setPosition(int(Start));
    cursor.setPosition(int(Start + Length), QTextCursor::KeepAnchor);
    memo_->setTextCursor(cursor);
    memo_->ensureCursorVisible();
  }
  // A line break counts as the two characters the program stores for it.
  bool Takes(const std::string& Text) const override {
    const int limit = Limit();
    return limit <= 0 || StoredMemoLength(WidgetText(Text)) <= limit;
  }
  int Limit() const override { return memo_->property("maxLength").toInt(); }

private:
  QPlainTextEdit* memo_;
};

// Below the control when the screen has room there, else above it, so the
// word asked about stays in sight.
void PlaceBeside(QDialog& Dialog, const QWidget* Control) {
  Dialog.adjustSize();
  const QRect control(Control->mapToGlobal(QPoint(0, 0)), Control->size());
  const QScreen* screen = Control->screen();
  if (!screen) return;
  const QRect room = screen->availableGeometry();
  const QSize size = Dialog.frameGeometry().size();
  int y = control.bottom() + 8;
  if (y + size.height() > room.bottom()) y = std::max(room.top(), control.top() - 8 - size.height());
  const int x = std::clamp(control.left(), room.left(), std::max(room.left(), room.right() - size.width()));
  Dialog.move(x, y);
}

QPushButton* Button(QWidget* Parent, const char* Name, const char* Caption) {
  auto* b = new QPushButton(WidgetText(Caption), Parent);
  b->setObjectName(Name);
  b->setAutoDefault(false);
  return b;
}

}  // namespace

TSpellDialog::TSpellDialog(QWidget* Parent, TSpellChecker& Checker, TSpellTarget& Target)
    : QDialog(Parent), target_(Target) {
  setObjectName("SpellDialog");
  setWindowTitle("Check Spelling");
  auto* grid = new QGridLayout(this);
  grid->addWidget(new QLabel(WidgetText("Not in dictionary:"), this), 0, 0);
  NotFound = new QLineEdit(this);
  NotFound->setObjectName("NotFound");
  NotFound->setReadOnly(true);
  grid->addWidget(NotFound, 0, 1);
  auto* changeLabel = new QLabel(WidgetText("Change &to:"), this);
  grid->addWidget(changeLabel, 1, 0);
  ChangeTo = new QLineEdit(this);
  ChangeTo->setObjectName("ChangeTo");
  changeLabel->setBuddy(ChangeTo);
  grid->addWidget(ChangeTo, 1, 1);
  grid->addWidget(new QLabel(WidgetText("Suggestions:"), this), 2, 0, Qt::AlignTop);
  Suggestions = new QListWidget(this);
  Suggestions->setObjectName("Suggestions");
  grid->addWidget(Suggestions, 2, 1);
  auto* buttons = new QVBoxLayout;
  IgnoreBtn = Button(this, "IgnoreBtn", "&Ignore");
  IgnoreAllBtn = Button(this, "IgnoreAllBtn", "I&gnore All");
  ChangeBtn = Button(this, "ChangeBtn", "&Change");
  ChangeAllBtn = Button(this, "ChangeAllBtn", "Change A&ll");
  AddBtn = Button(this, "AddBtn", "&Add");
  CancelBtn = Button(this, "CancelBtn", "Cancel");
  for (QPushButton* b : {IgnoreBtn, IgnoreAllBtn, ChangeBtn, ChangeAllBtn, AddBtn, CancelBtn}) buttons->addWidget(b);
  buttons->addStretch();
  grid->addLayout(buttons, 0, 2, 3, 1);
  ChangeBtn->setDefault(true);

  walk_ = std::make_unique<TSpellWalk>(Checker, Target.Text(),
                                       [&Target](const std::string& Text) { return Target.Takes(Text); });
  connect(Suggestions, &QListWidget::currentTextChanged, this, [this](const QString& Text) {
    if (!Text.isEmpty()) ChangeTo->setText(Text);
  });
  connect(Suggestions, &QListWidget::itemDoubleClicked, this, [this] { ChangeWord(false); });
  connect(IgnoreBtn, &QPushButton::clicked, this, [this] { Advance(); });
  connect(IgnoreAllBtn, &QPushButton::clicked, this, [this] {
    walk_->IgnoreAll();
    Advance();
  });
  connect(ChangeBtn, &QPushButton::clicked, this, [this] { ChangeWord(false); });
  connect(ChangeAllBtn, &QPushButton::clicked, this, [this] { ChangeWord(true); });
  connect(AddBtn, &QPushButton::clicked, this, [this] {
    if (!walk_->Add()) MessageDlg("The word could not be added to the personal word list.", mtWarning, mbOKOnly);
    Advance();
  });
  connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
}

TSpellDialog::~TSpellDialog() = default;

bool TSpellDialog::Start() {
  if (!walk_->Next()) return false;
  ShowWord();
  return true;
}

void TSpellDialog::ShowWord() {
  target_.Select(walk_->WordStart(), walk_->Word().size());
  NotFound->setText(WidgetText(walk_->Word()));
  Suggestions->clear();
  for (const std::string& s : walk_->Suggestions()) Suggestions->addItem(WidgetText(s));
  ChangeTo->setText(Suggestions->count() ? Suggestions->item(0)->text() : NotFound->text());
  if (Suggestions->count()) Suggestions->setCurrentRow(0);
  ChangeTo->setFocus();
  ChangeTo->selectAll();
}

void TSpellDialog::Advance() {
  const bool more = walk_->Next();
  // Words Change All changed on the way are in the control too.
  target_.SetText(walk_->Text());
  if (more) {
    ShowWord();
    return;
  }
  accept();
  MessageDlg(CompleteText, mtInformation, mbOKOnly);
}

void TSpellDialog::ChangeWord(bool All) {
  const std::string with = StoredText(ChangeTo->text());
  if (!walk_->Fits(with)) {
    MessageDlg(TooLongText(target_.Limit()), mtInformation, mbOKOnly);
    return;
  }
  if (All) {
    walk_->ChangeAll(with);
  } else {
    walk_->Change(with);
  }
  Advance();
}

int16_t SSCE_CheckCtrlDlg(QWidget* Form, QWidget* Control, int16_t /*SelTextOnly*/) {
  std::unique_ptr<TSpellTarget> target;
  if (auto* edit = qobject_cast<QLineEdit*>(Control)) target = std::make_unique<TLineEditTarget>(edit);
  if (auto* memo = qobject_cast<QPlainTextEdit*>(Control)) target = std::make_unique<TPlainTextTarget>(memo);
  if (!target) return -1;
  std::string error;
  TSpellChecker* checker = nullptr;
  {
    // Loading a dictionary takes a moment; the dialog itself is no wait.
    THourglass hourglass;
    checker = RunSpellChecker(error);
  }
  if (!checker) {
    MessageDlg(error, mtError, mbOKOnly);
    return -2;
  }
  TSpellDialog dialog(Form, *checker, *target);
  if (!dialog.Start()) {
    MessageDlg(CompleteText, mtInformation, mbOKOnly);
    return 0;
  }
  PlaceBeside(dialog, Control);
  dialog.exec();
  return 0;
}

int16_t CheckMemoSpelling(QWidget* Form, QPlainTextEdit* Memo) {
  const Qt::ScrollBarPolicy vertical = Memo->verticalScrollBarPolicy();
  const Qt::ScrollBarPolicy horizontal = Memo->horizontalScrollBarPolicy();
  Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  const int16_t result = SSCE_CheckCtrlDlg(Form, Memo, 0);
  Memo->setVerticalScrollBarPolicy(vertical);
  Memo->setHorizontalScrollBarPolicy(horizontal);
  return result;
}
