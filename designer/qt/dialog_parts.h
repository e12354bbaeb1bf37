// Pieces every designer dialog is made of: named buttons, a centred button
// row, a radio group with an item index, the handler wiring under
// GuardEvent, and list texts crossing the widget boundary.
#pragma once

#include <QDialog>
#include <QGroupBox>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

class QAbstractButton;
class QBoxLayout;
class QButtonGroup;
class QHBoxLayout;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

// A modal dialog whose every showing (not a window brought back by the
// window system) runs its FormShow under GuardEvent.
class TDesignerDialog : public QDialog {
public:
  explicit TDesignerDialog(QWidget* Parent, const char* Name, const std::string& Caption);
  virtual void FormShow() {}

protected:
  void showEvent(QShowEvent* Event) override;
};

// A push button with its object name and caption (Windows-1252, "&" marks
// the accelerator); never a default button.
QPushButton* DialogButton(QWidget* Parent, const char* Name, const std::string& Caption);
// The widgets side by side, centred.
QHBoxLayout* CentredRow(std::initializer_list<QWidget*> Widgets);
// Runs Handler under GuardEvent whenever Button is clicked.
void OnClicked(QAbstractButton* Button, std::function<void()> Handler);

// A titled group of radio buttons, one per item, with an item index
// (-1: none chosen) as the runtime's radio group has.
class TRadioGroup : public QGroupBox {
public:
  TRadioGroup(const std::string& Title, const std::vector<std::string>& Items, QWidget* Parent);
  int ItemIndex() const;
  // Programmatic: no click handler runs.
  void SetItemIndex(int Index);
  QRadioButton* Item(int Index) const;
  int Count() const;
  // Runs Handler under GuardEvent when the user picks an item.
  void OnClick(std::function<void()> Handler);

private:
  QButtonGroup* group_;
};

// The texts of a list's items, and a list refilled from texts.
std::vector<std::string> ListTexts(const QListWidget* List);
void SetListTexts(QListWidget* List, const std::vector<std::string>& Texts);
