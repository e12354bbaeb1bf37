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

#include <functional>
#include <initializer_list>
#include <string_view>
#include <vector>

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

// A control that holds the focus while arrows are typed.
struct ArrowCase {
  const char* Name;
  QWidget* Control;
};

// Over three rows: from the first (ToFirst), each control focused in turn
// and Up, Down, Down, Down, Up typed. Each key moves one row (Row reads the
// current one), the first and the last row are kept, the focus stays.
inline void ExpectOneRowPerArrow(std::initializer_list<ArrowCase> Cases, const std::function<void()>& ToFirst,
                                 const std::function<int()>& Row) {
  for (const ArrowCase& c : Cases) {
    SCOPED_TRACE(c.Name);
    ToFirst();
    c.Control->setFocus();
    // On a real display the window may take the focus a moment later.
    ASSERT_TRUE(QTest::qWaitFor([&] { return QApplication::focusWidget() == c.Control; }, 2000))
        << "the focus is on "
        << (QApplication::focusWidget() ? qPrintable(QApplication::focusWidget()->objectName()) : "nothing");
    std::vector<int> rows;
    for (Qt::Key k : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Up}) {
      Type(k);
      rows.push_back(Row());
    }
    EXPECT_EQ(rows, (std::vector<int>{0, 1, 2, 2, 1}));
    EXPECT_EQ(QApplication::focusWidget(), c.Control);
  }
}

}  // namespace keyboard
