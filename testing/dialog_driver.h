// Driving a designer dialog as a person does: shown and active for keys and
// focus moves, or run modally with a script that acts while it shows.
#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

// Shows the dialog modeless and waits until it is the active window.
inline void ShowActive(QDialog& Dialog) {
  Dialog.show();
  Dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Dialog));
}

// Runs Dialog modally; Script acts while it shows and must close it. A
// dialog the script leaves open fails the test and is closed.
inline int RunModal(QDialog& Dialog, std::function<void()> Script) {
  bool ran = false;
  QTimer::singleShot(0, &Dialog, [&] {
    ran = true;
    Dialog.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Dialog));
    Script();
    QApplication::processEvents();
    if (Dialog.isVisible()) {
      ADD_FAILURE() << "the script left " << Dialog.objectName().toStdString() << " open";
      Dialog.reject();
    }
  });
  const int result = Dialog.exec();
  EXPECT_TRUE(ran);
  return result;
}

// A click where a radio button or check box takes it: on its indicator.
template <class B>
void ClickIndicator(B* Button) {
  QTest::mouseClick(Button, Qt::LeftButton, Qt::NoModifier, QPoint(6, Button->height() / 2));
}

// The modal dialog of class F that shows now, or null.
template <class F>
F* ActiveModal() {
  return dynamic_cast<F*>(QApplication::activeModalWidget());
}

// Script runs on the next modal dialog of class F once it shows (and is
// active); a dialog that never comes fails the test after Seconds.
template <class F>
void WhenModal(std::function<void(F&)> Script, int Seconds = 20) {
  auto* poll = new QTimer(qApp);
  auto waited = std::make_shared<int>(0);
  QObject::connect(poll, &QTimer::timeout, [poll, waited, Script, Seconds] {
    F* dialog = ActiveModal<F>();
    if (!dialog || !dialog->isVisible()) {
      if (++*waited * 10 > Seconds * 1000) {
        ADD_FAILURE() << "no modal dialog came";
        poll->deleteLater();
        poll->stop();
      }
      return;
    }
    poll->stop();
    poll->deleteLater();
    dialog->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    Script(*dialog);
  });
  poll->start(10);
}
