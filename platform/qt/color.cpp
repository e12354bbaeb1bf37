#include "platform/qt/color.h"

#include <QApplication>
#include <QColor>
#include <QPalette>

namespace {

bool IsSystemColor(TColor color) { return (uint32_t(color) & 0x80000000u) != 0; }

// The palette's stand-in for each system colour.
QColor PaletteColor(TColor color) {
  const QPalette palette = QApplication::palette();
  switch (color) {
    case clActiveCaption: return palette.color(QPalette::Active, QPalette::Highlight);
    case clWindow: return palette.color(QPalette::Active, QPalette::Base);
    case clWindowText: return palette.color(QPalette::Active, QPalette::Text);
    case clHighlight: return palette.color(QPalette::Active, QPalette::Highlight);
    case clHighlightText: return palette.color(QPalette::Active, QPalette::HighlightedText);
    case clBtnFace: return palette.color(QPalette::Active, QPalette::Button);
    case clGrayText:
    case clInactiveCaptionText: return palette.color(QPalette::Disabled, QPalette::Text);
    default: return QColor(Qt::black);
  }
}

}  // namespace

QColor ToQColor(TColor color) {
  if (IsSystemColor(color)) return PaletteColor(color);
  const uint32_t rgb = uint32_t(color);
  return QColor(int(rgb & 0xFF), int((rgb >> 8) & 0xFF), int((rgb >> 16) & 0xFF));
}

uint32_t ColorToRGB(TColor color) {
  if (!IsSystemColor(color)) return uint32_t(color) & 0xFFFFFFu;
  const QColor c = PaletteColor(color);
  return uint32_t(c.red()) | uint32_t(c.green()) << 8 | uint32_t(c.blue()) << 16;
}
