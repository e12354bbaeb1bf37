// The batch viewer (TQBatchViewF): the workstation's batch in a grid with
// its total hours; delete an entry, send one back to the quick entry for
// editing, export or erase the batch. Shown modally by the quick entry
// screen. What it reads and writes is entry/batch_rows.h and
// entry/batch_files.h; the form only wires widgets to them.
//
// Columns: date, employee, client, case, group, hours ("deleted" once
// deleted), description, and hidden column 7, the TRIN record's position
// cell (templates/grid_position.h). Rows of deleted entries show in the
// fixed-pitch font. Up and Down move the selection wherever the focus is.
#pragma once

#include "entry/batch_rows.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QMenuBar;
class QPushButton;
class QTableWidget;
class QAction;

class TQBatchViewF : public QDialog {
public:
  explicit TQBatchViewF(QWidget* Parent = nullptr);

  void FormShow();
  void First1Click();
  void Next1Click();
  void Previous1Click();
  void Last1Click();
  void Delete1Click();
  void Erasebatch1Click();
  void BitBtnEditClick();
  void BitBtn1Click();
  void BitBtnOKClick();

  // The export command the Export button runs (SelectExportDir unless a
  // caller sets another).
  std::function<void()> ExportCommand;

  QTableWidget* QBatchViewGrid = nullptr;
  QLabel* TotalHours = nullptr;
  QPushButton* BitBtnEdit = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* BitBtnOK = nullptr;
  QMenuBar* Menu = nullptr;
  std::vector<QAction*> MenuItems;  // First, Next, Previous, Last, Delete, Erase batch

  // The loaded rows and the total of those not deleted, in hundredths.
  const std::vector<TBatchRow>& Rows() const { return rows_; }
  int64_t Total() const { return total_; }

protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void FillGrid();
  void ShowRow(int Row);
  void ShowTotal();
  void SelectRow(int Row);
  // The selected row's index, -1 for none.
  int SelectedRow() const;

  std::vector<TBatchRow> rows_;
  int64_t total_ = 0;
};
