#include "platform/qt/busy_cursor_qt.h"

#include "platform/busy_cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

#include <stdexcept>

namespace {

Qt::CursorShape Shown() {
  const QCursor* c = QGuiApplication::overrideCursor();
  return c ? c->shape() : Qt::ArrowCursor;
}

}  // namespace

TEST(QtBusyCursor, CoreScopesShowTheHourglassAndRestoreWhatWasThere) {
  {
    TBusyCursor notInstalled;
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  }
  InstallQtBusyCursor();
  QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
  try {
    TBusyCursor outer;
    EXPECT_EQ(Shown(), Qt::WaitCursor);
    {
      TBusyCursor inner;
      EXPECT_EQ(Shown(), Qt::WaitCursor);
    }
    EXPECT_EQ(Shown(), Qt::WaitCursor) << "the inner scope ended the outer one";
    throw std::runtime_error("failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(Shown(), Qt::PointingHandCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  SetBusyCursorHooks(nullptr);
}
