#include "entry/wrap_text.h"

#include "platform/text.h"

namespace {

constexpr std::string_view CrLf = "\r\n";

}  // namespace

std::string WrapTextToWidth(std::string_view Text, const TTextWidthFn& TextWidth, int Width, int MaxLines) {
  if (TextWidth(Text) < Width || Trim(Text).size() < 2) return std::string(Text);
  std::string s = Trim(Text) + " ";
  const bool pairs = s.find(CrLf) != std::string::npos;
  const size_t step = pairs ? CrLf.size() : 1;
  auto isBreak = [&](size_t i) { return pairs ? s.compare(i, CrLf.size(), CrLf) == 0 : s[i] == ' '; };

  size_t lineStart = 0;
  int lines = 1;
  while (lines < MaxLines) {
    size_t previous = std::string::npos;
    size_t i = lineStart;
    for (; i < s.size(); ++i) {
      if (!isBreak(i)) continue;
      if (TextWidth(std::string_view(s).substr(lineStart, i - lineStart)) >= Width &&
          previous != std::string::npos) {
        s.insert(previous + step, 1, '\r');
        lineStart = previous + step + 1;
        ++lines;
        break;
      }
      // A first word wider than the width stays whole: its end is where the
      // line may break next.
      previous = i;
    }
    if (i >= s.size()) break;
  }
  return s;
}
