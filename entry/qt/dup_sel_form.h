// TDupSelF, "Select Record": the modal chooser a search and replace shows
// when its replacement value matches more than one record of a lookup's
// target. The caller fills ListBox1 and reads Selected (and ListBox1's
// current row) after exec(); Cancel leaves Selected false.
#pragma once

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

class TDupSelF : public QDialog {
public:
  explicit TDupSelF(QWidget* Parent = nullptr);
  ~TDupSelF() override;

  // The selection flag.
  bool Selected = false;

  void FormShow();
  void BitBtnSelectClick();
  void BitBtnCancelClick();

  QListWidget* ListBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BitBtnSelect = nullptr;
  QPushButton* BitBtnCancel = nullptr;

protected:
  void showEvent(QShowEvent* Event) override;
};

// The chooser made at start-up; null before and after.
extern TDupSelF* DupSelF;
