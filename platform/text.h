// The runtime's text and number routines over stored text: Windows-1252 bytes
// in std::string. Positions are 1-based and count bytes; NUL is an ordinary
// byte. Number conversions never consult the C locale: the decimal point is
// always "." and the thousand separator ",".
#pragma once

#include <concepts>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <type_traits>

// Strip bytes <= 0x20 (blanks and control codes) from both ends, the start,
// or the end. Bytes >= 0x80 are letters here, never blanks.
std::string Trim(std::string_view s);
std::string TrimLeft(std::string_view s);
std::string TrimRight(std::string_view s);
// Trim's bytes as a view into s, nothing copied.
std::string_view TrimmedView(std::string_view s);

namespace text_detail {
// Unsigned counts above the signed range (std::string::npos) mean "all".
template <std::integral T>
constexpr int64_t Saturate(T v) {
  if constexpr (std::is_unsigned_v<T>) {
    return v > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()) ? std::numeric_limits<int64_t>::max()
                                                                          : static_cast<int64_t>(v);
  } else {
    return static_cast<int64_t>(v);
  }
}
std::string CopyBytes(std::string_view s, int64_t index, int64_t count);
std::string UnsignedToStr(uint64_t magnitude);
std::string HexOf(uint64_t pattern, int digits);
}  // namespace text_detail

// `count` bytes from 1-based `index`, clamped: an index below 1 counts as 1,
// an index past the end or a count <= 0 gives "", a count past the end gives
// the rest.
template <std::integral I, std::integral C>
std::string Copy(std::string_view s, I index, C count) {
  return text_detail::CopyBytes(s, text_detail::Saturate(index), text_detail::Saturate(count));
}

// 1-based position of the first `sub` in `s`; 0 when absent or `sub` is empty.
int Pos(std::string_view sub, std::string_view s);

// ASCII letters only; every other byte is kept.
std::string UpperCase(std::string_view s);
std::string LowerCase(std::string_view s);

// The letters of Windows-1252, accented ones included ("é" <-> "É",
// "š" <-> "Š", "ÿ" <-> "Ÿ"). "ß", "µ", "×" and "÷" have no other case.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
std::string AnsiUpperCase(std::string_view s);
std::string AnsiLowerCase(std::string_view s);
// Byte order of the upper-case forms: < 0, 0 or > 0.
int AnsiCompareText(std::string_view a, std::string_view b);
bool AnsiSameText(std::string_view a, std::string_view b);

// Decimal text of any integer. A char is a byte of text, not a number: cast a
// byte to uint8_t first, or a byte >= 0x80 would print negative.
template <std::integral T>
std::string IntToStr(T value) {
  if constexpr (std::is_signed_v<T>) {
    const uint64_t magnitude = value < 0 ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    return value < 0 ? "-" + text_detail::UnsignedToStr(magnitude) : text_detail::UnsignedToStr(magnitude);
  } else {
    return text_detail::UnsignedToStr(value);
  }
}
std::string IntToStr(char) = delete;
std::string IntToStr(bool) = delete;

// Upper-case hex with at least `digits` digits. Negative values show their
// two's complement at the width the runtime gives them: 32 bits for types
// of up to 4 bytes (IntToHex(-1, 1) is "FFFFFFFF"), 64 bits otherwise.
template <std::integral T>
std::string IntToHex(T value, int digits) {
  if constexpr (sizeof(T) <= 4) {
    return text_detail::HexOf(static_cast<uint32_t>(value), digits);
  } else {
    return text_detail::HexOf(static_cast<uint64_t>(value), digits);
  }
}
std::string IntToHex(char, int) = delete;
std::string IntToHex(bool, int) = delete;

// Optional sign, then decimal digits or hex after "$" or "0x". Blanks, an
// empty text and values out of range are refused. A hex text is the bit
// pattern of the result ("$FFFFFFFF" is -1 for StrToInt), as IntToHex writes it.
// Failure raises EConvertError "'<s>' is not a valid integer value".
int StrToInt(std::string_view s);
int64_t StrToInt64(std::string_view s);
int StrToIntDef(std::string_view s, int fallback);
bool TryStrToInt(std::string_view s, int& value);
bool TryStrToInt64(std::string_view s, int64_t& value);

// The runtime's float formats. Precision counts significant digits (at most
// 18); digits is the exponent's minimum width (ffGeneral, ffExponent) or the
// number of decimals (ffFixed, ffNumber). Rounding is half away from zero on
// the value's 18-digit decimal form.
enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };
std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits);

// Shortest text of at most 15 significant digits: "1.5", "100", "0.1";
// scientific beyond 15 integer digits or below 0.00001: "1E20", "1.5E-7".
std::string FloatToStr(double value);

// Picture formats: "0" digit, "#" optional digit, the first "." the decimal
// point, "," anywhere before it groups thousands; other characters and
// quoted texts are copied; up to three sections "positive;negative;zero".
// An empty picture gives FloatToStr.
std::string FormatFloat(std::string_view picture, double value);

// Optional sign, digits with an optional "." fraction, optional exponent;
// blanks around the number are allowed. Failure (and overflow) raises
// EConvertError "'<s>' is not a valid floating point value".
double StrToFloat(std::string_view s);
bool TryStrToFloat(std::string_view s, double& value);
double StrToFloatDef(std::string_view s, double fallback);

// `count` copies of `c`; "" for count <= 0.
std::string StringOfChar(char c, int count);

// `s` in single quotes, inner single quotes doubled.
std::string QuotedStr(std::string_view s);
