// The layout's pages (layout_lines.h) drawn through a print job: the font
// and the left margin chosen for the job's page, then each line at its Y.
#pragma once

#include "mainwin/layout_lines.h"
#include "platform/print_job.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

// Lines of a page: the line step is the page height divided by this.
inline constexpr int LayoutLinesPerPage = 64;

struct TLayoutFont {
  int Height = 0;  // pixels
  int X = 0;       // left margin, pixels

  bool operator==(const TLayoutFont&) const = default;
};

// 12 points at PixelsPerInchY, at most LineStep. When 118 advances of "A"
// fit PageWidth, the line is centred but at most 5 advances in; otherwise
// there is no margin and the font shrinks a pixel at a time until they fit,
// or down to 1 pixel, where it prints as it is. AdvanceOfA gives the
// advance of "A" at a height.
TLayoutFont FitLayoutFont(int PageWidth, int PixelsPerInchY, int LineStep,
                          const std::function<int(int Height)>& AdvanceOfA);

// A job on the default printer with its current settings, portrait; null
// when there is none.
std::unique_ptr<TPrintJob> ResetPrinter(const std::string& Title);

// The measures of Job's page: its height and line step.
struct TLayoutPageSize {
  int Height = 0;
  int LineStep = 0;
};
TLayoutPageSize LayoutPageSize(const TPrintJob& Job);

// The font and margin FitLayoutFont gives for Job's page and font.
TLayoutFont LayoutFontFor(TPrintJob& Job);

// Every page drawn, a new one begun between them; the job stays open.
void PaintLayout(TPrintJob& Job, const std::vector<TLayoutPage>& Pages);
