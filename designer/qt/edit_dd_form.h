// TEditDDF: the order of a lookup's dropdown fields, on up to four tiles
// from left to right (rules in designer/dropdown_order.h). Made, shown and
// freed by the lookup form, which takes DDNames back after OK.
#pragma once

#include "designer/dropdown_order.h"
#include "designer/qt/dialog_parts.h"

#include <array>
#include <string>
#include <vector>

class QLabel;
class QPushButton;
class TFieldTile;
class TFocusModel;

inline const std::string DropdownEditorMemo =
    "Use this screen to change the left to right order in which fields appear in the dropdown list, or to remove a "
    "field you've decided you no longer want.  The leftmost field must be a key field (bold type).";

class TEditDDF : public TDesignerDialog {
public:
  // Names: 2 to 4, each with the five blanks behind it; Locked: the
  // lookup form's LookupLocked.
  TEditDDF(std::vector<std::string> Names, bool Locked, QWidget* Parent = nullptr);

  void FormShow() override;
  // Move Left and Move Right, told apart by the sender's object name.
  void BitBtnLeftClick(QObject* Sender);
  void BitBtnDeleteClick();
  void StaticText1Click(TFieldTile* Sender);
  void BitBtnSaveClick();
  void RefreshTiles();
  // The tile drawn red; 0-based.
  int FindSelectedTile() const;

  // The result: the names in their new order.
  std::vector<std::string> DDNames;
  int DDCount = 0;
  // True after OK (also when a delete emptied the list); false from each
  // showing on.
  bool OK = false;

  static constexpr int MaxTiles = 4;
  std::array<TFieldTile*, MaxTiles> StaticText{};
  QLabel* Memo1 = nullptr;
  QPushButton* BitBtnLeft = nullptr;
  QPushButton* BitBtnRight = nullptr;
  QPushButton* BitBtnDelete = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtnCancel = nullptr;
  TFocusModel* Focus = nullptr;

private:
  void CloseWithOk();
  void ShowRefusal(const std::string& Text);

  TDropdownOrder order_;
};
