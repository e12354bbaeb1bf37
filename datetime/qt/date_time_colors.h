// The six colours of a month calendar. Each change is passed on to the
// calendar (OnColorChanged) with the colour's part.
#pragma once

#include "platform/qt/color.h"

#include <array>
#include <functional>

// The parts of the calendar a colour paints, in the order of the colours.
enum TCalendarColorPart { mcscBackground, mcscText, mcscTitleBk, mcscTitleText, mcscMonthBk, mcscTrailingText };

class TdwDateTimeColors {
public:
  TColor BackColor() const { return FColors[mcscBackground]; }
  TColor TextColor() const { return FColors[mcscText]; }
  TColor TitleBackColor() const { return FColors[mcscTitleBk]; }
  TColor TitleTextColor() const { return FColors[mcscTitleText]; }
  TColor MonthBackColor() const { return FColors[mcscMonthBk]; }
  TColor TrailingTextColor() const { return FColors[mcscTrailingText]; }
  TColor Color(TCalendarColorPart part) const { return FColors[part]; }

  void SetBackColor(TColor c) { SetColor(mcscBackground, c); }
  void SetTextColor(TColor c) { SetColor(mcscText, c); }
  void SetTitleBackColor(TColor c) { SetColor(mcscTitleBk, c); }
  void SetTitleTextColor(TColor c) { SetColor(mcscTitleText, c); }
  void SetMonthBackColor(TColor c) { SetColor(mcscMonthBk, c); }
  void SetTrailingTextColor(TColor c) { SetColor(mcscTrailingText, c); }
  void SetColor(TCalendarColorPart part, TColor color);

  // Copies the five published colours; BackColor stays.
  void Assign(const TdwDateTimeColors& source);

  std::function<void(TCalendarColorPart part, TColor color)> OnColorChanged;

private:
  std::array<TColor, 6> FColors = {clWindow, clWindowText, clActiveCaption, clWhite, clWhite, clInactiveCaptionText};
};
