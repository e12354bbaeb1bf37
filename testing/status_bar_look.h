// What a person sees of a status bar: each panel a sunken bevel, dark along
// its top and left edges, light along its bottom and right.
#pragma once

#include "platform/qt/status_bar.h"

#include <QImage>
#include <QPalette>

#include <gtest/gtest.h>

inline void ExpectSunkenPanels(TStatusBar& Bar, size_t Panels) {
  const std::vector<QRect> frames = Bar.PanelFrames();
  ASSERT_EQ(frames.size(), Panels);
  const QImage shot = Bar.grab().toImage();
  const QRgb dark = Bar.palette().color(QPalette::Dark).rgb();
  const QRgb light = Bar.palette().color(QPalette::Light).rgb();
  for (const QRect& f : frames) {
    SCOPED_TRACE("panel at x " + std::to_string(f.left()));
    ASSERT_GE(f.height(), Bar.fontMetrics().height());
    EXPECT_EQ(shot.pixel(f.center().x(), f.top()), dark);
    EXPECT_EQ(shot.pixel(f.left(), f.center().y()), dark);
    EXPECT_EQ(shot.pixel(f.center().x(), f.bottom()), light);
    EXPECT_EQ(shot.pixel(f.right(), f.center().y()), light);
  }
}
