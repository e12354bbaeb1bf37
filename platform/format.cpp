#include "platform/format.h"

#include "platform/errors.h"
#include "platform/text.h"

#include <optional>

namespace {

// A width or precision beyond this is a broken number, not a layout; refusing
// it keeps a corrupt field width from asking for gigabytes.
constexpr int64_t kMaxWidth = 1 << 20;

class Formatter {
 public:
  Formatter(std::string_view format, std::span<const FormatArg> args) : format_(format), args_(args) {}

  std::string Run() {
    std::string out;
    out.reserve(format_.size());
    while (pos_ < format_.size()) {
      const char c = format_[pos_++];
      if (c != '%') {
        out += c;
      } else if (Peek() == '%') {
        ++pos_;
        out += '%';
      } else {
        out += Conversion();
      }
    }
    return out;
  }

 private:
  [[noreturn]] void Invalid() const {
    throw EConvertError("Format '" + std::string(format_) + "' invalid or incompatible with argument");
  }

  [[noreturn]] void Missing() const { throw EConvertError("No argument for format '" + std::string(format_) + "'"); }

  char Peek() const { return pos_ < format_.size() ? format_[pos_] : '\0'; }

  bool AtEnd() const { return pos_ >= format_.size(); }

  const FormatArg& NextArg() {
    if (next_ >= args_.size()) Missing();
    return args_[next_++];
  }

  bool IsInteger(const FormatArg& arg) const {
    return arg.kind() == FormatArg::Kind::Signed || arg.kind() == FormatArg::Kind::Unsigned;
  }

  // Digits or "*" (the next argument, which must be an integer); nothing
  // when neither is there.
  std::optional<int64_t> Number() {
    if (Peek() == '*') {
      ++pos_;
      const FormatArg& arg = NextArg();
      if (!IsInteger(arg)) Invalid();
      if (arg.kind() == FormatArg::Kind::Unsigned && arg.unsigned_value() > static_cast<uint64_t>(kMaxWidth)) Invalid();
      const int64_t value =
          arg.kind() == FormatArg::Kind::Unsigned ? static_cast<int64_t>(arg.unsigned_value()) : arg.signed_value();
      if (value > kMaxWidth || value < -kMaxWidth) Invalid();
      return value;
    }
    if (Peek() < '0' || Peek() > '9') return std::nullopt;
    int64_t value = 0;
    while (Peek() >= '0' && Peek() <= '9') {
      value = value * 10 + (format_[pos_++] - '0');
      if (value > kMaxWidth) Invalid();
    }
    return value;
  }

  std::string Conversion() {
    bool left = false;
    std::optional<int64_t> width = Number();
    if (width && Peek() == ':') {
      ++pos_;
      if (*width < 0) Invalid();
      next_ = static_cast<size_t>(*width);
      width.reset();
    }
    if (!width) {
      if (Peek() == '-') {
        ++pos_;
        left = true;
      }
      width = Number();
    }
    if (width && *width < 0) {  // a negative "*" width justifies left, as "-" does
      left = true;
      width = -*width;
    }
    std::optional<int64_t> precision;
    if (Peek() == '.') {
      ++pos_;
      precision = Number().value_or(0);
      if (*precision < 0) precision.reset();
    }
    if (AtEnd()) Invalid();
    char type = format_[pos_++];
    if (type >= 'A' && type <= 'Z') type = static_cast<char>(type + 0x20);
    std::string text = Convert(type, NextArg(), precision);
    const auto size = static_cast<int64_t>(text.size());
    if (width && *width > size) {
      const std::string pad(static_cast<size_t>(*width - size), ' ');
      text = left ? text + pad : pad + text;
    }
    return text;
  }

  std::string Convert(char type, const FormatArg& arg, std::optional<int64_t> precision) {
    const int digits = static_cast<int>(precision.value_or(0));
    switch (type) {
      case 's': {
        if (arg.kind() != FormatArg::Kind::Text) Invalid();
        const std::string_view text = arg.text();
        return std::string(precision ? text.substr(0, static_cast<size_t>(*precision)) : text);
      }
      case 'd': {
        if (!IsInteger(arg)) Invalid();
        const bool negative = arg.kind() == FormatArg::Kind::Signed && arg.signed_value() < 0;
        const uint64_t magnitude = negative ? 0 - static_cast<uint64_t>(arg.signed_value()) : arg.unsigned_value();
        return (negative ? "-" : "") + ZeroFill(IntToStr(magnitude), digits);
      }
      case 'u':
        if (!IsInteger(arg)) Invalid();
        return ZeroFill(IntToStr(BitPattern(arg)), digits);
      case 'x':
        if (!IsInteger(arg)) Invalid();
        return IntToHex(BitPattern(arg), digits);
      case 'f':
      case 'n':
        if (arg.kind() != FormatArg::Kind::Float) Invalid();
        return FloatToStrF(arg.float_value(), type == 'f' ? ffFixed : ffNumber, 18,
                           static_cast<int>(precision.value_or(2)));
      case 'e':
        if (arg.kind() != FormatArg::Kind::Float) Invalid();
        return FloatToStrF(arg.float_value(), ffExponent, static_cast<int>(precision.value_or(15)), 3);
      default:
        Invalid();
    }
  }

  // The integer as the unsigned number of its runtime width.
  static uint64_t BitPattern(const FormatArg& arg) {
    return arg.wide() ? arg.unsigned_value() : static_cast<uint32_t>(arg.unsigned_value());
  }

  static std::string ZeroFill(std::string digits, int count) {
    if (static_cast<int>(digits.size()) < count) digits.insert(0, count - digits.size(), '0');
    return digits;
  }

  std::string_view format_;
  std::span<const FormatArg> args_;
  size_t pos_ = 0;
  size_t next_ = 0;
};

}  // namespace

std::string FormatArgs(std::string_view format, std::span<const FormatArg> args) {
  return Formatter(format, args).Run();
}
