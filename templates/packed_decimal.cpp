#include "templates/packed_decimal.h"

#include "platform/errors.h"
#include "platform/format.h"

#include <algorithm>

namespace {

constexpr uint8_t PositiveSign = 0xF;
constexpr uint8_t NegativeSign = 0xD;
constexpr int MaxPackedBytes = 10;

char DigitOf(uint8_t Nibble) { return Nibble <= 9 ? char('0' + Nibble) : '?'; }

}  // namespace

void DecimalToStr(std::string& S, int Decimals) {
  if (S.empty()) {
    S = Format("%12s", "0");
    return;
  }
  std::string digits;
  for (size_t i = 0; i + 1 < S.size(); ++i) {
    const auto b = uint8_t(S[i]);
    digits += DigitOf(b >> 4);
    digits += DigitOf(b & 0xF);
  }
  const auto last = uint8_t(S.back());
  digits += DigitOf(last >> 4);
  const bool negative = (last & 0xF) != PositiveSign;

  const size_t decimals = size_t(std::max(Decimals, 0));
  if (decimals > 0) {
    if (digits.size() < decimals) digits.insert(0, decimals - digits.size(), '0');
    digits.insert(digits.size() - decimals, ".");
  }
  digits.erase(0, digits.find_first_not_of('0'));
  if (digits.empty()) digits = "0";
  S = Format("%12s", (negative ? "-" : "") + digits);
}

std::string PackDecimal(int64_t Units, int Bytes) {
  if (Bytes < 1 || Bytes > MaxPackedBytes)
    throw EConvertError(Format("%d is no packed decimal width (1 to %d bytes)", Bytes, MaxPackedBytes));
  const bool negative = Units < 0;
  uint64_t magnitude = negative ? 0 - uint64_t(Units) : uint64_t(Units);
  // Digits from the last: the sign takes the low nibble of the last byte.
  std::string packed(size_t(Bytes), '\0');
  uint8_t low = negative ? NegativeSign : PositiveSign;
  for (int i = Bytes - 1; i >= 0; --i) {
    const auto high = uint8_t(magnitude % 10);
    magnitude /= 10;
    packed[size_t(i)] = char((high << 4) | low);
    if (i > 0) {
      low = uint8_t(magnitude % 10);
      magnitude /= 10;
    }
  }
  if (magnitude != 0)
    throw EConvertError(Format("%d does not fit in %d packed bytes", Units, Bytes));
  return packed;
}
