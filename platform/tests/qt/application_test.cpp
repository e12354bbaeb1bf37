#include "platform/qt/application.h"

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
