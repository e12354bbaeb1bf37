// TGetNameF: asks for a template's name. Made once at start and reused; the
// main window sets the two labels (and the edit) before showing it and
// reads the edit afterwards unless it was cancelled.
#pragma once

#include "designer/qt/dialog_parts.h"

#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

inline const std::string NoTemplateNameMsg = "You must assign a name to your template.";
inline constexpr int TemplateNameMaxLength = 30;

class TGetNameF : public TDesignerDialog {
public:
  explicit TGetNameF(QWidget* Parent = nullptr);
  ~TGetNameF() override;

  void FormShow() override;
  void BitBtn1Click();

  // The name as typed (Windows-1252).
  std::string Name() const;

  // True from each showing until a valid OK.
  bool Cancelled = true;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLineEdit* Edit1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtn2 = nullptr;
};
