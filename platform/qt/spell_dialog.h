// The spelling dialog the screens call: SSCE_CheckCtrlDlg checks the text
// of a QLineEdit or QPlainTextEdit with the run's checker
// (platform/spelling.h) and edits it in place, the misspelt word selected
// in the control while the dialog asks about it. A change that would make
// the text longer than the control takes (a line edit's maxLength and
// validator; a plain text edit's "maxLength" property, counting a line
// break as the two characters the program stores) is refused with a
// message, never cut. At the end: "The spelling check is complete.".
#pragma once

#include "platform/spell_checker.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

// Form is the window the dialog belongs to, Control the edit to check;
// SelTextOnly is kept for its callers, the whole text is checked. 0 when
// the check ran (finished or cancelled); -1 for a control that is no
// edit; -2 when the dictionary is missing (its message shown).
int16_t SSCE_CheckCtrlDlg(QWidget* Form, QWidget* Control, int16_t SelTextOnly);

// A memo's check: both its scroll bars shown while the dialog asks, as
// they were afterwards.
int16_t CheckMemoSpelling(QWidget* Form, QPlainTextEdit* Memo);

// The text of the control being checked, as the program keeps it.
class TSpellTarget {
public:
  virtual ~TSpellTarget() = default;
  virtual std::string Text() const = 0;
  virtual void SetText(const std::string& Text) = 0;
  virtual void Select(size_t Start, size_t Length) = 0;
  // Whether the control takes Text.
  virtual bool Takes(const std::string& Text) const = 0;
  // The most characters it takes, for the message; 0 none.
  virtual int Limit() const = 0;
};

class TSpellDialog : public QDialog {
public:
  TSpellDialog(QWidget* Parent, TSpellChecker& Checker, TSpellTarget& Target);
  ~TSpellDialog() override;

  // Stops at the first misspelt word; false when there is none.
  bool Start();

  QLineEdit* NotFound = nullptr;
  QLineEdit* ChangeTo = nullptr;
  QListWidget* Suggestions = nullptr;
  QPushButton* IgnoreBtn = nullptr;
  QPushButton* IgnoreAllBtn = nullptr;
  QPushButton* ChangeBtn = nullptr;
  QPushButton* ChangeAllBtn = nullptr;
  QPushButton* AddBtn = nullptr;
  QPushButton* CancelBtn = nullptr;

private:
  // On to the next misspelt word, or done.
  void Advance();
  void ShowWord();
  // Changes the word (all of them when All); refused with a message when
  // the control would not take the text.
  void ChangeWord(bool All);

  TSpellTarget& target_;
  std::unique_ptr<TSpellWalk> walk_;
};
