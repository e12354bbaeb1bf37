#include "platform/qt/application.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace {

// Runs the event loop as the program does; a loop that fails to quit is
// ended with code 1 so a broken Terminate fails instead of hanging.
int RunLoop() {
  QTimer stuck;
  stuck.setSingleShot(true);
  QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  stuck.start(60000);
  return QCoreApplication::exec();
}

}  // namespace

TEST(Terminate, QuitsTheRunningLoopAfterTheHandlerEnds) {
  ResetTerminated();
  bool restOfHandlerRan = false;
  QTimer::singleShot(0, [&] {
    Terminate();
    restOfHandlerRan = Terminated();
  });
  EXPECT_EQ(RunLoop(), 0);
  EXPECT_TRUE(Terminated());
  EXPECT_TRUE(restOfHandlerRan);
  ResetTerminated();
  EXPECT_FALSE(Terminated());
}

TEST(Terminate, DuringStartUpEndsAtTheFirstTurnAndShowsNoWindow) {
  ResetTerminated();
  QWidget window;
  Terminate();
  EXPECT_FALSE(ShowUnlessTerminated(&window));
  EXPECT_FALSE(window.isVisible());
  EXPECT_EQ(RunLoop(), 0);
  ResetTerminated();
  EXPECT_TRUE(ShowUnlessTerminated(&window));
  EXPECT_TRUE(window.isVisible());
}

TEST(ApplicationTitle, IsWhatWasSetFromWindows1252) {
  SetApplicationTitle("R\xE9sum\xE9s 2024");
  EXPECT_EQ(ApplicationTitle(), QString::fromUtf8("Résumés 2024"));
  SetApplicationTitle("Corvenstead Matterdesk");
  EXPECT_EQ(ApplicationTitle(), "Corvenstead Matterdesk");
}

namespace {

void ShowActive(QWidget& W) {
  W.show();
  W.activateWindow();
  QCoreApplication::processEvents();
}

}  // namespace

// A hidden window (the main window of a direct start) stays hidden through
// all three; the others come back in their own state, the active one active.
TEST(ApplicationWindows, MinimizeAndRestoreTouchOnlyVisibleWindowsAndKeepTheActiveOne) {
  QWidget hidden, first, second;
  first.show();
  second.setWindowState(Qt::WindowMaximized);
  ShowActive(second);
  ASSERT_EQ(QApplication::activeWindow(), &second);
  ApplicationMinimize();
  EXPECT_TRUE(first.isMinimized());
  EXPECT_TRUE(second.isMinimized());
  EXPECT_FALSE(hidden.isVisible());
  ApplicationRestore();
  QCoreApplication::processEvents();
  EXPECT_FALSE(first.isMinimized());
  EXPECT_EQ(second.windowState(), Qt::WindowMaximized);
  EXPECT_FALSE(hidden.isVisible());
  EXPECT_EQ(QApplication::activeWindow(), &second);
}

TEST(ApplicationWindows, BringToFrontShowsTheLastActiveWindowAgain) {
  QWidget hidden, other, last;
  ShowActive(other);
  ShowActive(last);
  ApplicationMinimize();
  ApplicationBringToFront();
  QCoreApplication::processEvents();
  EXPECT_FALSE(last.isMinimized());
  EXPECT_TRUE(other.isMinimized());
  EXPECT_EQ(QApplication::activeWindow(), &last);
  EXPECT_FALSE(hidden.isVisible());
  // With the application already in front it stays so.
  ApplicationBringToFront();
  EXPECT_EQ(QApplication::activeWindow(), &last);
  ApplicationRestore();
}
