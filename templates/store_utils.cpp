#include "templates/store_utils.h"

#include "platform/text.h"

double CalcFieldWidth(int Len) {
  int count = 0;
  if (Len >= 1 && Len <= 10) {
    count = Len + 2;
  } else if (Len >= 11 && Len <= 20) {
    count = Len + 1;
  } else if (Len >= 21 && Len <= 500) {
    count = Len;
  }
  // Smallest k first, so every caller truncates the same double.
  double width = 0;
  for (int k = 1; k <= count; ++k) width += 550.0 / (2 * k + 53);
  return width;
}

// The save walk asks this of every field's name: no trimmed copy is built.
bool IsBlank(std::string_view S) { return TrimmedView(S).empty(); }

void TakePosition(int& Dest, int& Pos, int Width) {
  Dest = Pos;
  Pos += Width;
}
