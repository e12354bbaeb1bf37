// Breaking a caption into lines that fit a column of the grid view's
// header row.
//
// A text that already fits (measured narrower than the width), or whose
// trimmed form is shorter than 2 bytes, comes back unchanged. Otherwise the
// text is trimmed, one blank appended, and a carriage return inserted after
// the last break point of a line whose text up to the next break point
// would reach (be at least) the width. Break points are the blanks, or the
// CR LF pairs when the text holds one; the inserted carriage return follows
// the whole break point. A word wider than the width stays whole on its
// own line. At most MaxLines lines are made; the rest stays on the last.
#pragma once

#include <functional>
#include <string>
#include <string_view>

// The width of a text in pixels as the canvas draws it.
using TTextWidthFn = std::function<int(std::string_view)>;

std::string WrapTextToWidth(std::string_view Text, const TTextWidthFn& TextWidth, int Width, int MaxLines);
