#include "platform/text.h"

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>
#include <vector>

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 0x20; }

// ---- case -------------------------------------------------------------------

// Windows-1252 upper case of every byte; built once from the code page's
// letter pairs.
constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 0x20);
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);  // 0xF7 is the division sign
  }
  table[0x9A] = 0x8A;  // š Š
  table[0x9C] = 0x8C;  // œ Œ
  table[0x9E] = 0x8E;  // ž Ž
  table[0xFF] = 0x9F;  // ÿ Ÿ
  return table;
}

constexpr std::array<unsigned char, 256> MakeLowerTable() {
  const auto upper = MakeUpperTable();
  std::array<unsigned char, 256> table{};
  for (int i = 0; i < 256; ++i) table[i] = static_cast<unsigned char>(i);
  for (int i = 0; i < 256; ++i) {
    if (upper[i] != i) table[upper[i]] = static_cast<unsigned char>(i);
  }
  return table;
}

constexpr auto kUpper = MakeUpperTable();
constexpr auto kLower = MakeLowerTable();

template <typename Map>
std::string MapBytes(std::string_view s, Map map) {
  std::string result(s);
  for (char& c : result) c = map(c);
  return result;
}

// ---- integers ---------------------------------------------------------------

int DigitValue(char c, int base) {
  if (c >= '0' && c <= '9') return c - '0';
  if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// `bits` is the width of the result (32 or 64).
bool ParseInteger(std::string_view s, int bits, int64_t& value) {
  const int64_t max = bits == 32 ? std::numeric_limits<int32_t>::max() : std::numeric_limits<int64_t>::max();
  size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
  int base = 10;
  if (i < s.size() && s[i] == '$') {
    base = 16;
    ++i;
  } else if (s.size() - i >= 2 && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i == s.size()) return false;
  const uint64_t limit = base == 16 ? (bits == 32 ? 0xFFFFFFFFull : ~0ull)
                         : negative ? static_cast<uint64_t>(max) + 1
                                    : static_cast<uint64_t>(max);
  uint64_t magnitude = 0;
  for (; i < s.size(); ++i) {
    const int digit = DigitValue(s[i], base);
    if (digit < 0) return false;
    if (magnitude > (limit - digit) / base) return false;
    magnitude = magnitude * base + digit;
  }
  if (base == 16) {
    const int64_t pattern =
        bits == 32 ? static_cast<int32_t>(static_cast<uint32_t>(magnitude)) : static_cast<int64_t>(magnitude);
    if (negative && pattern < 0) return false;  // "-$FFFFFFFF" names no number
    value = negative ? -pattern : pattern;
  } else {
    value = negative ? static_cast<int64_t>(0 - magnitude) : static_cast<int64_t>(magnitude);
  }
  return true;
}

[[noreturn]] void NotAnInteger(std::string_view s) {
  throw EConvertError("'" + std::string(s) + "' is not a valid integer value");
}

// ---- floats -----------------------------------------------------------------

// A finite value as the runtime's decimal record: value = 0.d1d2d3... x
// 10^exponent. No trailing zeros in digits; no digits means zero.
struct Decimal {
  bool negative = false;
  std::string digits;
  int exponent = 0;
};

constexpr int kMaxDigits = 18;

// Rounds half away from zero to at most `precision` significant digits and at
// most `decimals` digits after the point.
Decimal ToDecimal(double value, int precision, int decimals) {
  Decimal d;
  if (value == 0) return d;
  d.negative = std::signbit(value);
  char buffer[64];
  const auto written =
      std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, kMaxDigits - 1);
  // "d.ddddddddddddddddde+XX"
  const std::string_view text(buffer, written.ptr - buffer);
  const size_t e = text.find('e');
  d.digits = std::string(1, text[0]) + std::string(text.substr(2, e - 2));
  int exponent10 = 0;
  std::from_chars(text.data() + e + 1 + (text[e + 1] == '+'), text.data() + text.size(), exponent10);
  d.exponent = exponent10 + 1;

  const int keep = std::min<int64_t>(std::clamp(precision, 1, kMaxDigits), int64_t{d.exponent} + decimals);
  if (keep < 0) return Decimal{};
  if (keep < static_cast<int>(d.digits.size())) {
    const bool up = d.digits[keep] >= '5';
    d.digits.resize(keep);
    if (up) {
      int i = keep - 1;
      while (i >= 0 && d.digits[i] == '9') d.digits[i--] = '0';
      if (i >= 0) {
        ++d.digits[i];
      } else {
        d.digits.insert(d.digits.begin(), '1');
        ++d.exponent;
      }
    }
  }
  while (!d.digits.empty() && d.digits.back() == '0') d.digits.pop_back();
  if (d.digits.empty()) return Decimal{};
  return d;
}

char DigitAt(const Decimal& d, int index) {
  return index >= 0 && index < static_cast<int>(d.digits.size()) ? d.digits[index] : '0';
}

// The integer digits of d, without leading zeros ("" for a value below 1).
std::string IntegerDigits(const Decimal& d) {
  std::string digits;
  for (int i = 0; i < d.exponent; ++i) digits += DigitAt(d, i);
  return digits;
}

std::string GroupThousands(const std::string& digits) {
  std::string grouped;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) grouped += ',';
    grouped += digits[i];
  }
  return grouped;
}

std::string ExponentText(int exponent, bool always_sign, int min_digits) {
  std::string digits = text_detail::UnsignedToStr(static_cast<uint64_t>(std::abs(exponent)));
  if (static_cast<int>(digits.size()) < min_digits) digits.insert(0, min_digits - digits.size(), '0');
  if (exponent < 0) return "E-" + digits;
  return (always_sign ? "E+" : "E") + digits;
}

std::string FixedText(const Decimal& d, int decimals, bool thousands) {
  std::string integer = IntegerDigits(d);
  if (integer.empty()) integer = "0";
  std::string text = d.negative ? "-" : "";
  text += thousands ? GroupThousands(integer) : integer;
  if (decimals > 0) {
    text += '.';
    for (int i = 0; i < decimals; ++i) text += DigitAt(d, d.exponent + i);
  }
  return text;
}

// Mantissa "d.ddd" with `mantissa_digits` digits (0: as many as there are).
std::string ScientificText(const Decimal& d, int mantissa_digits, bool always_sign, int exponent_digits) {
  const int count = mantissa_digits > 0 ? mantissa_digits : static_cast<int>(d.digits.size());
  std::string text = d.negative ? "-" : "";
  text += DigitAt(d, 0);
  if (count > 1) {
    text += '.';
    for (int i = 1; i < count; ++i) text += DigitAt(d, i);
  }
  return text + ExponentText(d.digits.empty() ? 0 : d.exponent - 1, always_sign, exponent_digits);
}

std::string GeneralText(double value, int precision, int exponent_digits) {
  const Decimal d = ToDecimal(value, precision, std::numeric_limits<int>::max() / 2);
  if (d.digits.empty()) return "0";
  if (d.exponent > std::clamp(precision, 1, kMaxDigits) || d.exponent < -4) {
    return ScientificText(d, 0, false, exponent_digits);
  }
  const int decimals = std::max(0, static_cast<int>(d.digits.size()) - d.exponent);
  return FixedText(d, decimals, false);
}

// ---- picture formats --------------------------------------------------------

std::vector<std::string_view> SplitSections(std::string_view picture) {
  std::vector<std::string_view> sections;
  size_t start = 0;
  char quote = 0;
  for (size_t i = 0; i < picture.size(); ++i) {
    const char c = picture[i];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == ';') {
      sections.push_back(picture.substr(start, i - start));
      start = i + 1;
    }
  }
  sections.push_back(picture.substr(start));
  return sections;
}

struct Picture {
  int integer_places = 0;  // "0" and "#" before the point
  int min_integer = 0;     // from the first "0" before the point
  int decimal_places = 0;  // "0" and "#" after the point
  int min_decimals = 0;    // up to the last "0" after the point
  bool thousands = false;
};

Picture ScanPicture(std::string_view section) {
  Picture p;
  bool point = false;
  int first_zero = -1;
  char quote = 0;
  for (const char c : section) {
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (point) {
        ++p.decimal_places;
        if (c == '0') p.min_decimals = p.decimal_places;
      } else {
        if (c == '0' && first_zero < 0) first_zero = p.integer_places;
        ++p.integer_places;
      }
    } else if (c == '.') {
      point = true;
    } else if (c == ',') {
      p.thousands = true;
    }
  }
  if (first_zero >= 0) p.min_integer = p.integer_places - first_zero;
  return p;
}

std::string ApplyPicture(std::string_view section, const Decimal& d, bool show_minus) {
  const Picture p = ScanPicture(section);
  std::string integer = IntegerDigits(d);
  if (static_cast<int>(integer.size()) < p.min_integer) integer.insert(0, p.min_integer - integer.size(), '0');
  std::string fraction;
  for (int i = 0; i < p.decimal_places; ++i) fraction += DigitAt(d, d.exponent + i);
  while (static_cast<int>(fraction.size()) > p.min_decimals && fraction.back() == '0') fraction.pop_back();

  const int length = static_cast<int>(integer.size());
  auto put_digit = [&](std::string& out, int index) {
    out += integer[index];
    const int from_right = length - 1 - index;
    if (p.thousands && from_right > 0 && from_right % 3 == 0) out += ',';
  };

  std::string out = show_minus ? "-" : "";
  int integer_place = 0;
  int decimal_place = 0;
  bool point = false;
  char quote = 0;
  for (const char c : section) {
    if (quote) {
      if (c == quote) {
        quote = 0;
      } else {
        out += c;
      }
    } else if (c == '"' || c == '\'') {
      quote = c;
    } else if (c == '0' || c == '#') {
      if (point) {
        if (decimal_place < static_cast<int>(fraction.size())) out += fraction[decimal_place];
        ++decimal_place;
      } else {
        // Places count from the right; the first place takes every digit
        // the picture has no room for.
        const int index = length - p.integer_places + integer_place;
        if (integer_place == 0) {
          for (int i = 0; i <= index; ++i) put_digit(out, i);
        } else if (index >= 0) {
          put_digit(out, index);
        }
        ++integer_place;
      }
    } else if (c == '.') {
      if (!point) {
        if (p.integer_places == 0) {
          for (int i = 0; i < length; ++i) put_digit(out, i);
        }
        if (!fraction.empty()) out += '.';
      }
      point = true;
    } else if (c != ',') {
      out += c;
    }
  }
  return out;
}

// ---- parsing floats ---------------------------------------------------------

bool ParseFloat(std::string_view s, double& value) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  size_t i = 0;
  auto digits = [&] {
    const size_t start = i;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9') ++i;
    return i - start;
  };
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
  size_t mantissa = digits();
  if (i < s.size() && s[i] == '.') {
    ++i;
    mantissa += digits();
  }
  if (mantissa == 0) return false;
  if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
    ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    if (digits() == 0) return false;
  }
  if (i != s.size()) return false;
  // from_chars takes no "+"; the syntax is checked above, so it reads all of it.
  if (s.front() == '+') s.remove_prefix(1);
  double parsed = 0;
  const auto result = std::from_chars(s.data(), s.data() + s.size(), parsed);
  if (result.ec != std::errc() || result.ptr != s.data() + s.size()) return false;
  value = parsed;
  return true;
}

}  // namespace

namespace text_detail {

std::string CopyBytes(std::string_view s, int64_t index, int64_t count) {
  if (index < 1) index = 1;
  const auto size = static_cast<int64_t>(s.size());
  if (index > size || count <= 0) return "";
  return std::string(s.substr(index - 1, std::min(count, size - index + 1)));
}

std::string UnsignedToStr(uint64_t magnitude) {
  char buffer[24];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, magnitude);
  return std::string(buffer, written.ptr);
}

std::string HexOf(uint64_t pattern, int digits) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), kHex[pattern & 0xF]);
    pattern >>= 4;
  } while (pattern != 0);
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), '0');
  return text;
}

}  // namespace text_detail

std::string_view TrimmedView(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string Trim(std::string_view s) { return std::string(TrimmedView(s)); }

std::string TrimLeft(std::string_view s) {
  size_t start = 0;
  while (start < s.size() && IsBlank(s[start])) ++start;
  return std::string(s.substr(start));
}

std::string TrimRight(std::string_view s) {
  size_t end = s.size();
  while (end > 0 && IsBlank(s[end - 1])) --end;
  return std::string(s.substr(0, end));
}

int Pos(std::string_view sub, std::string_view s) {
  if (sub.empty()) return 0;
  const size_t at = s.find(sub);
  return at == std::string_view::npos ? 0 : static_cast<int>(at) + 1;
}

std::string UpperCase(std::string_view s) {
  return MapBytes(s, [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 0x20) : c; });
}

std::string LowerCase(std::string_view s) {
  return MapBytes(s, [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; });
}

char AnsiUpperChar(char c) { return static_cast<char>(kUpper[static_cast<unsigned char>(c)]); }

char AnsiLowerChar(char c) { return static_cast<char>(kLower[static_cast<unsigned char>(c)]); }

std::string AnsiUpperCase(std::string_view s) { return MapBytes(s, AnsiUpperChar); }

std::string AnsiLowerCase(std::string_view s) { return MapBytes(s, AnsiLowerChar); }

int AnsiCompareText(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const int x = kUpper[static_cast<unsigned char>(a[i])];
    const int y = kUpper[static_cast<unsigned char>(b[i])];
    if (x != y) return x - y;
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

bool AnsiSameText(std::string_view a, std::string_view b) { return AnsiCompareText(a, b) == 0; }

bool TryStrToInt64(std::string_view s, int64_t& value) { return ParseInteger(s, 64, value); }

bool TryStrToInt(std::string_view s, int& value) {
  int64_t wide = 0;
  if (!ParseInteger(s, 32, wide)) return false;
  value = static_cast<int>(wide);
  return true;
}

int StrToInt(std::string_view s) {
  int value = 0;
  if (!TryStrToInt(s, value)) NotAnInteger(s);
  return value;
}

int64_t StrToInt64(std::string_view s) {
  int64_t value = 0;
  if (!TryStrToInt64(s, value)) NotAnInteger(s);
  return value;
}

int StrToIntDef(std::string_view s, int fallback) {
  int value = 0;
  return TryStrToInt(s, value) ? value : fallback;
}

std::string FloatToStrF(double value, TFloatFormat format, int precision, int digits) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  precision = std::clamp(precision, 1, kMaxDigits);
  switch (format) {
    case ffGeneral:
      return GeneralText(value, precision, std::clamp(digits, 0, 4));
    case ffExponent:
      return ScientificText(ToDecimal(value, precision, std::numeric_limits<int>::max() / 2), precision, true,
                            std::clamp(digits, 0, 4));
    case ffFixed:
    case ffNumber: {
      digits = std::clamp(digits, 0, kMaxDigits);
      const Decimal d = ToDecimal(value, precision, digits);
      if (d.exponent > precision) return FloatToStrF(value, ffExponent, precision, 3);
      return FixedText(d, digits, format == ffNumber);
    }
  }
  return FloatToStr(value);
}

std::string FloatToStr(double value) { return FloatToStrF(value, ffGeneral, 15, 0); }

std::string FormatFloat(std::string_view picture, double value) {
  if (picture.empty() || !std::isfinite(value)) return FloatToStr(value);
  const auto sections = SplitSections(picture);
  std::string_view section = sections[0];
  bool show_minus = value < 0;
  if (value < 0 && sections.size() > 1 && !sections[1].empty()) {
    section = sections[1];
    show_minus = false;
  }
  Decimal d = ToDecimal(value, kMaxDigits, ScanPicture(section).decimal_places);
  if (d.exponent > kMaxDigits) return FloatToStr(value);
  if (d.digits.empty()) {  // a value that rounds to zero has no sign
    section = sections.size() > 2 && !sections[2].empty() ? sections[2] : sections[0];
    show_minus = false;
  }
  return ApplyPicture(section, d, show_minus);
}

bool TryStrToFloat(std::string_view s, double& value) { return ParseFloat(s, value); }

double StrToFloat(std::string_view s) {
  double value = 0;
  if (!ParseFloat(s, value)) throw EConvertError("'" + std::string(s) + "' is not a valid floating point value");
  return value;
}

double StrToFloatDef(std::string_view s, double fallback) {
  double value = 0;
  return ParseFloat(s, value) ? value : fallback;
}

std::string StringOfChar(char c, int count) { return count > 0 ? std::string(count, c) : std::string(); }

std::string QuotedStr(std::string_view s) {
  std::string quoted = "'";
  for (const char c : s) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted + "'";
}
