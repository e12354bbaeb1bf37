// TMakeCliF: what to do about a case-suffix lookup in a template without a
// client lookup. Made, shown and freed by the lookup form, which acts on the
// chosen item (ClientLookupStep). Closing it any other way than by OK
// answers the last item: back to the previous screen, nothing made.
#pragma once

#include "designer/qt/dialog_parts.h"

class QLabel;
class QPushButton;

class TMakeCliF : public TDesignerDialog {
public:
  enum TItem { CreateOne = 0, UniqueSuffixes = 1, CreateMyself = 2, BackOut = 3 };

  explicit TMakeCliF(QWidget* Parent = nullptr);

  // The chosen item once the dialog has closed.
  int ItemIndex() const;

  QLabel* Label1 = nullptr;
  QLabel* Label2 = nullptr;
  TRadioGroup* RadioGroup1 = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtn2 = nullptr;
};
