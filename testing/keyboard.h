// Keys typed as the keyboard types them: each goes where Qt sends a real
// key, to the open popup when there is one, else to the focused window's
// focus widget, with its shortcut override first. (QTest::keyClick on a
// widget hands the key to that widget, past any open popup.)
#pragma once

#include <QApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <string_view>

namespace keyboard {

// The window the next key goes to; null when none would take it.
inline QWindow* KeyWindow() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup->window()->windowHandle();
  // Offscreen, a closed popup's window may stay the focus window.
  if (QWidget* focus = QApplication::focusWidget()) return focus->window()->windowHandle();
  QWidget* active = QApplication::activeWindow();
  return active ? active->windowHandle() : nullptr;
}

inline void Type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
  QWindow* window = KeyWindow();
  ASSERT_NE(window, nullptr) << "no window takes keys";
  QTest::keyClick(window, key, modifiers);
  QApplication::processEvents();
}

// Characters typed one by one: digits, letters and punctuation.
inline void Type(std::string_view text) {
  for (const char c : text) {
    QWindow* window = KeyWindow();
    ASSERT_NE(window, nullptr) << "no window takes keys";
    QTest::keyClick(window, c);
    QApplication::processEvents();
  }
}

}  // namespace keyboard
