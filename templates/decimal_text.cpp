#include "templates/decimal_text.h"

#include "platform/text.h"

std::string WithDecimals(const std::string& Text, int Decimals) {
  const std::string t = Trim(Text);
  const size_t point = t.find('.');
  std::string whole = t.substr(0, point);
  if (Decimals <= 0) {
    return whole.empty() || whole == "-" ? whole + "0" : whole;
  }
  std::string behind = point == std::string::npos ? "" : t.substr(point + 1, size_t(Decimals));
  behind.resize(size_t(Decimals), '0');
  return whole + "." + behind;
}
