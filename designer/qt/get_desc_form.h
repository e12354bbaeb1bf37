// TGetDescF: one of the twenty case description lines. Made once at start
// and reused by the lookup form, which adds the chosen line's text.
#pragma once

#include "designer/qt/dialog_parts.h"

#include <string>

class QListWidget;
class QPushButton;

class TGetDescF : public TDesignerDialog {
public:
  explicit TGetDescF(QWidget* Parent = nullptr);
  ~TGetDescF() override;

  void FormShow() override;
  void BitBtnSaveClick();

  // The selected line's text.
  std::string SelectedLine() const;

  // True from each showing until OK.
  bool Cancelled = true;

  QListWidget* ListBox1 = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtnCancel = nullptr;
};
