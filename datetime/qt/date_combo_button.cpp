#include "datetime/qt/date_combo_button.h"

#include <QMouseEvent>

TdwDateComboButton::TdwDateComboButton(QWidget* parent) : QToolButton(parent) {
  setObjectName("dropDownButton");
  setArrowType(Qt::DownArrow);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
}

void TdwDateComboButton::mousePressEvent(QMouseEvent* event) {
  QToolButton::mousePressEvent(event);
  // The drop-down opens on the press; the release then meets a popup.
  if (event->button() != Qt::LeftButton) return;
  // The release goes to the drop-down, so the button never sees it come up.
  setDown(false);
  if (OnPress) OnPress();
}
