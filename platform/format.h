// The runtime's Format over stored text (Windows-1252 bytes): every byte of
// the format and of the arguments passes through, NUL and bytes >= 0x80 too.
// Only program text is ever a format; user text is only ever an argument.
//
// A conversion is "%" [index ":"] ["-"] [width] ["." precision] type, with
// "*" for an index, width or precision taken from the next (integer)
// argument and "%%" for a percent sign. Types (either case):
//   s  text or a char; precision cuts it to that many bytes
//   d  integer; precision zero-fills to that many digits ("%.3d" of -5 is "-005")
//   u  integer without sign (a negative one as its unsigned bit pattern)
//   x  integer in upper-case hex; precision zero-fills
//   f  float with precision decimals (default 2): "%3f" of 2.5 is "2.50"
//   n  as f, with "," between thousands
//   e  float as "d.ddE+ddd" with precision significant digits (default 15)
// Width pads with blanks (on the left, or on the right after "-") and never
// cuts. Numbers always use "." whatever the C locale.
//
// A type the argument does not have, a missing argument or a broken
// conversion raises EConvertError naming the format.
#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>

// One typed argument. It refers to the caller's text, so it lives only for
// the call it is made for.
class FormatArg {
 public:
  enum class Kind { Signed, Unsigned, Float, Text };

  // A char is a one-byte text, as in the runtime; signed and unsigned char
  // are numbers.
  template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>) FormatArg(T value)
      : kind_(std::is_signed_v<T> ? Kind::Signed : Kind::Unsigned),
        wide_(sizeof(T) > 4),
        signed_(static_cast<int64_t>(value)),
        unsigned_(static_cast<uint64_t>(value)) {}
  template <std::floating_point T>
  FormatArg(T value) : kind_(Kind::Float), float_(static_cast<double>(value)) {}
  FormatArg(char c) : kind_(Kind::Text), char_(c), is_char_(true) {}
  FormatArg(std::string_view text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const std::string& text) : kind_(Kind::Text), text_(text) {}
  FormatArg(const char* text) : kind_(Kind::Text), text_(text ? std::string_view(text) : std::string_view()) {}
  FormatArg(bool) = delete;
  FormatArg(std::nullptr_t) = delete;

  Kind kind() const { return kind_; }
  // Integers of up to 4 bytes have 32 bits for "%u" and "%x", wider ones 64.
  bool wide() const { return wide_; }
  int64_t signed_value() const { return signed_; }
  uint64_t unsigned_value() const { return unsigned_; }
  double float_value() const { return float_; }
  std::string_view text() const { return is_char_ ? std::string_view(&char_, 1) : text_; }

 private:
  Kind kind_;
  bool wide_ = false;
  int64_t signed_ = 0;
  uint64_t unsigned_ = 0;
  double float_ = 0;
  std::string_view text_;
  char char_ = 0;
  bool is_char_ = false;
};

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args);

template <typename... Args>
std::string Format(std::string_view format, const Args&... args) {
  const std::array<FormatArg, sizeof...(Args)> list{FormatArg(args)...};
  return FormatArgs(format, list);
}

// The bracketed argument list form: Format("%s=%d", {name, value}).
inline std::string Format(std::string_view format, std::initializer_list<FormatArg> args) {
  return FormatArgs(format, std::span<const FormatArg>(args.begin(), args.size()));
}
