// The rules of the range dialog's two edits, without a widget: which keys
// they take, what leaving one does to its text, and the OK check.
#pragma once

#include <optional>
#include <string>

inline constexpr int MinMaxMaxLength = 12;
inline constexpr double MinMaxLowest = -100000000;
inline constexpr double MinMaxHighest = 100000000;

inline const std::string MinMaxRangeMsg = "Acceptable values are -9999999.99 to 99999999.99.";
inline const std::string MinExceedsMaxMsg = "Minimum exceeds maximum!";

// Typed character Key (backspace "\b") may enter an edit holding Text: the
// digits, one ".", and backspace.
bool MinMaxKeyAccepted(const std::string& Text, char Key);

// The text an edit keeps when it is left, or nothing when it is refused
// (the range message, the focus stays). A blank text becomes "0"; any other
// must be a number within the bounds (a pasted "1.2.3" is none). The kept
// text has the decimals of Decimals (0..2; -1: none chosen, left alone).
std::optional<std::string> MinMaxExitText(const std::string& Text, int Decimals);

// The decimals choice applied to one edit's text: a blank text stays blank.
std::string FormatDecimals(const std::string& Text, int Decimals);

// The OK check: the minimum exceeds the maximum by more than half a cent.
// REQUIRES: both texts passed MinMaxExitText.
bool MinExceedsMax(const std::string& Min, const std::string& Max);
