// Drives date pickers offscreen as a person does: a form made active so that
// the focus and the popup behave, presses where a person presses, and the
// picker's text and selection as they read.
#pragma once

#include "datetime/qt/date_combo_button.h"
#include "datetime/qt/date_time_picker.h"
#include "datetime/tests/qt/calendar_driver.h"
#include "platform/qt/widget_text.h"
#include "testing/keyboard.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <string>

namespace picker_test {

inline void Activate(QWidget& form) {
  form.show();
  QApplication::setActiveWindow(&form);
  form.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
  calendar_test::Settle();
}

inline std::string Text(const QLineEdit& edit) { return StoredText(edit.text()); }
inline std::string Selected(const QLineEdit& edit) { return StoredText(edit.selectedText()); }

inline bool Open(const TdwDBCustomDateTimePicker& picker) {
  return picker.PopupCalendar() && picker.PopupCalendar()->isVisible() && picker.DroppedDown();
}

// A left press and release at a point given in global coordinates, as the
// window under it (or the open popup, which takes every press) receives it.
inline void ClickAt(QPoint global) {
  QWidget* target = QApplication::activePopupWidget();
  if (!target) target = QApplication::widgetAt(global);
  ASSERT_NE(target, nullptr);
  QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFromGlobal(global));
  calendar_test::Settle();
}

inline QPoint Centre(const QWidget& w) { return w.mapToGlobal(w.rect().center()); }

inline void PressButton(TdwDBCustomDateTimePicker& picker) { ClickAt(Centre(*picker.Button())); }

}  // namespace picker_test
