// Colours as the screens name them: an RGB value (0x00BBGGRR) or one of the
// system colours, which follow the application's palette when they are drawn.
#pragma once

#include <cstdint>

class QColor;

using TColor = int32_t;

// A system colour is its palette role's number with the top bit set.
constexpr TColor SystemColor(int role) { return TColor(0x80000000u | uint32_t(role)); }

constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clActiveCaption = SystemColor(2);
constexpr TColor clWindow = SystemColor(5);
constexpr TColor clWindowText = SystemColor(8);
constexpr TColor clHighlight = SystemColor(13);
constexpr TColor clHighlightText = SystemColor(14);
constexpr TColor clBtnFace = SystemColor(15);
constexpr TColor clGrayText = SystemColor(17);
constexpr TColor clInactiveCaptionText = SystemColor(19);

// The RGB value (0x00BBGGRR): a system colour from the application's
// palette, an unknown system colour as black, an RGB value as it stands.
uint32_t ColorToRGB(TColor color);
QColor ToQColor(TColor color);
