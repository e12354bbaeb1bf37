#include "mainwin/layout_print.h"

#include "platform/mul_div.h"
#include "platform/printers.h"

#include <algorithm>

namespace {

constexpr int LayoutPoints = 12;
constexpr int PointsPerInch = 72;
constexpr int MostMarginAdvances = 5;

}  // namespace

TLayoutFont FitLayoutFont(int PageWidth, int PixelsPerInchY, int LineStep,
                          const std::function<int(int Height)>& AdvanceOfA) {
  TLayoutFont font;
  font.Height = std::max(1, std::min(MulDiv(PixelsPerInchY, LayoutPoints, PointsPerInch), LineStep));
  const int advance = AdvanceOfA(font.Height);
  if (LayoutColumns * advance <= PageWidth) {
    font.X = std::min((PageWidth - LayoutColumns * advance) / 2, MostMarginAdvances * advance);
    return font;
  }
  while (font.Height > 1 && LayoutColumns * AdvanceOfA(font.Height) > PageWidth) --font.Height;
  return font;
}

std::unique_ptr<TPrintJob> ResetPrinter(const std::string& Title) { return BeginPrintJob(Title); }

TLayoutPageSize LayoutPageSize(const TPrintJob& Job) {
  return {Job.PageHeight(), Job.PageHeight() / LayoutLinesPerPage};
}

TLayoutFont LayoutFontFor(TPrintJob& Job) {
  return FitLayoutFont(Job.PageWidth(), Job.PixelsPerInchY(), LayoutPageSize(Job).LineStep, [&](int Height) {
    Job.SetFont(Height, false);
    return Job.TextWidth("A");
  });
}

void PaintLayout(TPrintJob& Job, const std::vector<TLayoutPage>& Pages) {
  const TLayoutFont font = LayoutFontFor(Job);
  for (size_t p = 0; p < Pages.size(); ++p) {
    if (p > 0) Job.NewPage();
    for (const TLayoutLine& line : Pages[p]) {
      Job.SetFont(font.Height, line.Bold);
      Job.TextOut(font.X, line.Y, line.Text);
    }
  }
}
