// Colours: RGB values as they stand (0x00BBGGRR), system colours from the
// application's palette, an unknown system colour as black.
#include "platform/qt/color.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

#include <gtest/gtest.h>

namespace {

uint32_t Rgb(const QColor& c) { return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16; }

TEST(Color, RgbValuesStandAndSystemColoursFollowThePalette) {
  EXPECT_EQ(ColorToRGB(0x00123456), 0x123456u);
  EXPECT_EQ(ToQColor(0x00123456), QColor(0x56, 0x34, 0x12));
  EXPECT_EQ(ToQColor(clWhite), QColor(255, 255, 255));

  QPalette palette = QApplication::palette();
  const QPalette saved = palette;
  palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
  palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
  palette.setColor(QPalette::Disabled, QPalette::Text, QColor(7, 8, 9));
  QApplication::setPalette(palette);
  EXPECT_EQ(ColorToRGB(clWindow), Rgb(QColor(1, 2, 3)));
  EXPECT_EQ(ColorToRGB(clActiveCaption), Rgb(QColor(10, 20, 30)));
  EXPECT_EQ(ToQColor(clInactiveCaptionText), QColor(7, 8, 9));
  EXPECT_EQ(ColorToRGB(SystemColor(99)), 0u);
  QApplication::setPalette(saved);
}

}  // namespace
