// TEditDispF: the order of a lookup's display fields. Made once at start
// and reused by the lookup form: it sets the names, shows the form and,
// unless cancelled, takes the names back.
#pragma once

#include "designer/qt/dialog_parts.h"

#include <string>
#include <vector>

class QListWidget;
class QMimeData;
class QPushButton;

inline const char* const DisplayRowMime = "application/x-corvenstead-display-row";

class TEditDispF : public TDesignerDialog {
public:
  explicit TEditDispF(QWidget* Parent = nullptr);
  ~TEditDispF() override;

  void SetNames(const std::vector<std::string>& Names);
  std::vector<std::string> Names() const;

  void FormShow() override;
  void BitBtnSaveClick();
  void BitBtnUpClick();
  void BitBtnDownClick();
  void BitBtnDeleteClick();
  // The drag of the selected row, its mime data carrying the row.
  void ListBox1StartDrag();
  // A drag over the list: accepted when it carries a row of this list; the
  // row under Pos is selected.
  bool ListBox1DragOver(const QMimeData* Data, const QPoint& Pos);
  void ListBox1DragDrop(const QMimeData* Data, const QPoint& Pos);
  // The item at From moved to To, the list rebuilt, the moved one selected.
  void MoveDisplayField(int From, int To);

  // The mime data a drag of Row carries.
  static QMimeData* RowMimeData(int Row);

  // True from each showing until OK.
  bool Cancelled = true;

  QListWidget* ListBox1 = nullptr;
  QPushButton* BitBtnUp = nullptr;
  QPushButton* BitBtnDown = nullptr;
  QPushButton* BitBtnDelete = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtnCancel = nullptr;

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  QPoint pressAt_;
  bool pressed_ = false;
};
