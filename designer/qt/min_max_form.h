// TMinMaxF: the range and decimals of a numeric field. Made once at start
// and reused; the designer reads the two texts, the check box and the
// decimals index after it closes, and sets them before it shows.
//
// Only typing into an edit unchecks the check box (a text set by the
// program leaves it), and only the user's choice of decimals reformats the
// edits. Leaving an edit runs its exit check through the focus model: a
// refused text keeps the focus there.
#pragma once

#include "designer/qt/dialog_parts.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class TFocusModel;

class TMinMaxF : public TDesignerDialog {
public:
  explicit TMinMaxF(QWidget* Parent = nullptr);
  ~TMinMaxF() override;

  // Handlers.
  void FormShow() override;
  void BitBtn1Click();
  void RadioGroupMaxMinClick();
  // False drops the typed character.
  bool EditMinKeyPress(QLineEdit* Sender, QChar Key);
  void EditMinExit(QWidget* Sender);
  void EditMinChange();
  void FormatDecimals(QLineEdit* Edit);

  // The decimals item (0 none, 1 one, 2 two; -1 none chosen).
  int Decimals() const;
  void SetDecimals(int Index);

  // True when OK accepted the range; false from each showing on.
  bool OK = false;

  QCheckBox* CheckBox1 = nullptr;
  QLineEdit* EditMin = nullptr;
  QLineEdit* EditMax = nullptr;
  TRadioGroup* RadioGroupMaxMin = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
  TFocusModel* Focus = nullptr;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;
};
