#include "platform/codepage.h"

#include "platform/errors.h"
#include "platform/format.h"

#include <iconv.h>
#include <cerrno>
#include <optional>
#include <string_view>

namespace {

constexpr const char* kWin1252 = "WINDOWS-1252";
constexpr const char* kCp437 = "CP437";
constexpr const char* kUtf8 = "UTF-8";

// One conversion descriptor per call: iconv state must not be shared
// between threads, and opening one is cheap once glibc has loaded the tables.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
    if (cd_ == reinterpret_cast<iconv_t>(-1)) {
      throw EConvertError(Format("The conversion from %s to %s is not available", from, to));
    }
  }
  ~Converter() { iconv_close(cd_); }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the converted `in` to `out`; on failure, the offset in `in` of
  // the first character the conversion refused (what was before it is kept).
  std::optional<size_t> Append(std::string_view in, std::string& out) {
    char* in_ptr = const_cast<char*>(in.data());  // iconv does not write through it
    size_t in_left = in.size();
    char buffer[1024];
    while (in_left > 0) {
      char* out_ptr = buffer;
      size_t out_left = sizeof buffer;
      const size_t result = iconv(cd_, &in_ptr, &in_left, &out_ptr, &out_left);
      out.append(buffer, static_cast<size_t>(out_ptr - buffer));
      if (result == static_cast<size_t>(-1) && errno != E2BIG) return static_cast<size_t>(in_ptr - in.data());
    }
    return std::nullopt;
  }

 private:
  iconv_t cd_;
};

bool IsUnassigned1252(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// The code point of the well-formed UTF-8 sequence at the start of `s`.
std::optional<char32_t> DecodeUtf8(std::string_view s) {
  if (s.empty()) return std::nullopt;
  const auto lead = static_cast<unsigned char>(s[0]);
  if (lead < 0x80) return lead;
  int length = 0;
  unsigned char low = 0x80;
  unsigned char high = 0xBF;
  char32_t code = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return std::nullopt;
  }
  if (static_cast<int>(s.size()) < length) return std::nullopt;
  for (int i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(s[i]);
    if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) return std::nullopt;
    code = (code << 6) | (byte & 0x3F);
  }
  return code;
}

[[noreturn]] void Refuse(std::string_view utf8, size_t offset) {
  if (const auto code = DecodeUtf8(utf8.substr(offset))) {
    throw EConvertError(Format("The character U+%.4x cannot be stored", static_cast<uint32_t>(*code)));
  }
  throw EConvertError(Format("The text is not valid UTF-8 (byte %u)", offset + 1));
}

// Appends whole[base, base + length) converted; a refusal names its place in `whole`.
void AppendFromUtf8(Converter& converter, std::string_view whole, size_t base, size_t length, std::string& out) {
  if (const auto failed = converter.Append(whole.substr(base, length), out)) Refuse(whole, base + *failed);
}

std::string FromUtf8(const std::string& text, const char* charset) {
  Converter converter(charset, kUtf8);
  std::string out;
  AppendFromUtf8(converter, text, 0, text.size(), out);
  return out;
}

std::string ToUtf8(const std::string& text, const char* charset) {
  Converter converter(kUtf8, charset);
  std::string out;
  if (converter.Append(text, out)) throw EConvertError(Format("The text is not valid %s", charset));
  return out;
}

}  // namespace

std::string Win1252ToUtf8(const std::string& text) {
  Converter converter(kUtf8, kWin1252);
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && !IsUnassigned1252(static_cast<unsigned char>(text[i]))) continue;
    // Every other byte is assigned, so this part converts whole.
    if (converter.Append(std::string_view(text).substr(start, i - start), out)) {
      throw EConvertError("The text is not valid Windows-1252");
    }
    if (i < text.size()) {
      out += '\xC2';  // the two-byte UTF-8 form of U+0080..U+00BF
      out += text[i];
    }
    start = i + 1;
  }
  return out;
}

std::string Utf8ToWin1252(const std::string& text) {
  Converter converter(kWin1252, kUtf8);
  std::string out;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    // 0xC2 is never a continuation byte, so this finds only whole characters.
    const bool unassigned =
        i + 1 < text.size() && text[i] == '\xC2' && IsUnassigned1252(static_cast<unsigned char>(text[i + 1]));
    if (i < text.size() && !unassigned) continue;
    AppendFromUtf8(converter, text, start, i - start, out);
    if (unassigned) out += text[++i];
    start = i + 1;
  }
  return out;
}

std::string OemToAnsi(const std::string& text) { return Utf8ToWin1252(ToUtf8(text, kCp437)); }

std::string AnsiToOem(const std::string& text) { return FromUtf8(Win1252ToUtf8(text), kCp437); }

bool TryConvertText(const std::string& text, const std::string& from, const std::string& to, std::string& out) {
  out.clear();
  try {
    Converter converter(to.c_str(), from.c_str());
    return !converter.Append(text, out);
  } catch (const EConvertError&) {
    return false;
  }
}
