#include "designer/min_max_rules.h"

#include "platform/text.h"
#include "templates/decimal_text.h"

#include <cstring>

bool MinMaxKeyAccepted(const std::string& Text, char Key) {
  if (Key == '\b') return true;
  if (Key == '\0' || !std::strchr("0123456789.", Key)) return false;
  return Key != '.' || Text.find('.') == std::string::npos;
}

std::string FormatDecimals(const std::string& Text, int Decimals) {
  if (Decimals < 0 || Trim(Text).empty()) return Text;
  return WithDecimals(Text, Decimals);
}

std::optional<std::string> MinMaxExitText(const std::string& Text, int Decimals) {
  const std::string t = Trim(Text);
  if (t.empty()) return FormatDecimals("0", Decimals);
  double value = 0;
  if (!TryStrToFloat(t, value) || value < MinMaxLowest || value > MinMaxHighest) return std::nullopt;
  return FormatDecimals(t, Decimals);
}

bool MinExceedsMax(const std::string& Min, const std::string& Max) {
  return StrToFloatDef(Trim(Min), 0) - StrToFloatDef(Trim(Max), 0) > 0.005;
}
