#include "platform/qt/work_area.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <gtest/gtest.h>

TEST(FitFormToWorkArea, FrameTakesTheAvailableGeometry) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  ASSERT_FALSE(area.isEmpty());
  for (const bool shown : {false, true}) {
    QWidget form;
    form.setGeometry(37, 41, 120, 90);
    if (shown) form.show();
    FitFormToWorkArea(form);
    EXPECT_EQ(form.frameGeometry(), area) << "shown " << shown;
  }
}

TEST(PlatformPlacesWindows, OnlyAWaylandCompositorPlacesWindowsItself) {
  // The tests run offscreen, where a move is a move.
  ASSERT_EQ(QGuiApplication::platformName(), "offscreen");
  EXPECT_TRUE(PlatformPlacesWindows());
}
