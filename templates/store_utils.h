// Small routines the template store shares with the screens: the layout
// width of a field, the blank test and the handing out of field positions.
#pragma once

#include <string_view>

// Pixel width of a field of Len characters on the entry screen: the count
// becomes Len + 2 for 1..10, Len + 1 for 11..20, Len for 21..500 and 0
// otherwise, and the width is the sum over k = 1..count of 550 / (2k + 53),
// unrounded (callers truncate).
double CalcFieldWidth(int Len);

// True when S is empty once bytes <= 0x20 (NUL included) are trimmed off.
bool IsBlank(std::string_view S);

// Hands out the next position: Dest := Pos, then Pos moves on by Width.
void TakePosition(int& Dest, int& Pos, int Width);
