#include "platform/qt/cursor.h"

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

TEST(THourglass, NestedGuardsRestoreTheCursorOfTheirOwnScope) {
  ASSERT_EQ(QGuiApplication::overrideCursor(), nullptr);
  QGuiApplication::setOverrideCursor(QCursor(Qt::PointingHandCursor));
  {
    THourglass outer;
    EXPECT_EQ(Shown(), Qt::WaitCursor);
    {
      THourglass inner;
      EXPECT_EQ(Shown(), Qt::WaitCursor);
    }
    EXPECT_EQ(Shown(), Qt::WaitCursor) << "the inner guard ended the outer one";
  }
  EXPECT_EQ(Shown(), Qt::PointingHandCursor);
  QGuiApplication::restoreOverrideCursor();
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(THourglass, RestoresWhenLeftByAnException) {
  try {
    THourglass wait;
    throw std::runtime_error("failed");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}
