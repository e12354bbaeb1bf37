// TKeySelF: the choice among the indexes a template lookup's first field
// begins. Made, filled, shown and freed by the lookup form; each choice
// keeps its index number.
#pragma once

#include "designer/qt/dialog_parts.h"

#include <string>

class QComboBox;
class QLabel;
class QPushButton;

class TKeySelF : public TDesignerDialog {
public:
  explicit TKeySelF(QWidget* Parent = nullptr);

  void FormShow() override;
  void SaveBitBtnClick();
  void CloseBitBtnClick();

  void SetPrompt(const std::string& Text);
  void AddChoice(const std::string& Text, int IndexNo);
  // The chosen line and its index number (0 when nothing is chosen).
  std::string ChosenText() const;
  int ChosenIndexNo() const;

  // True after OK; false from each showing on.
  bool OK = false;

  QLabel* Label1 = nullptr;
  QComboBox* ComboBoxKeyChoice = nullptr;
  QPushButton* SaveBitBtn = nullptr;
  QPushButton* CloseBitBtn = nullptr;
};
