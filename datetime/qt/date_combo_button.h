// The date picker's drop-down button: an arrow inside the picker's right
// edge that acts on the press, never takes the focus, and follows the
// picker's Enabled.
#pragma once

#include <QToolButton>

#include <functional>

class TdwDateComboButton : public QToolButton {
public:
  explicit TdwDateComboButton(QWidget* parent);

  // A left press on the button.
  std::function<void()> OnPress;

protected:
  void mousePressEvent(QMouseEvent* event) override;
};
