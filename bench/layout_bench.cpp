// A template's layout printed to PDF: 50 family lookups with 80 display
// columns each (about 4,200 lines over some 70 pages).
//
//   layout/print   the pages made from the field table (layout_lines.h) and
//                  painted through the print stand-in into a PDF file
//   layout/bare    the floor: the same finished lines drawn with QPainter
//                  on a QPrinter writing a PDF, the same font and places
//
// The table at the end gives the mean of each in milliseconds and the
// ratio of the print to the floor (aim 1.3x).
#include "bench/bench_support.h"
#include "mainwin/layout_lines.h"
#include "mainwin/layout_print.h"
#include "platform/qt/print_job_qt.h"
#include "platform/qt/widget_text.h"
#include "testing/template_fixture.h"

#include <QApplication>
#include <QFont>
#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double AimRatio = 1.3;

using bench::Check;

fs::path Root() { return bench::Root("layout_bench"); }

void BuildTable() {
  TTemplateTableBuilder t;
  for (int i = 1; i <= MaxFields; ++i) {
    TFld& f = t.Add("Lookup field " + std::to_string(i), 'C', 7);
    f.IsLookup = true;
    f.LkpKind = "L";
    f.LkpSpec = "A  0  1  2  3";
    for (int k = 1; k <= MaxDispCols; ++k) f.DispCols[k] = k % 100;
  }
  t.Index(1, {1}, true, "First");
  t.Index(2, {2, 3, 4}, false, "Second");
  Store.TplName = "Layout bench";
}

void Print(benchmark::State& state) {
  const std::string pdf = (Root() / "print.pdf").string();
  bench::Timed(state, "layout/print", [&] {
    std::unique_ptr<TPrintJob> job = QtPrintJob::ToPdf(pdf, Store.TplName);
    const TLayoutPageSize page = LayoutPageSize(*job);
    PaintLayout(*job, LayoutPages(page.Height, page.LineStep, {}));
    job->EndDoc();
  });
}

void Bare(benchmark::State& state) {
  // The finished lines and the font, as the print makes and chooses them.
  std::vector<TLayoutPage> pages;
  TLayoutFont font;
  {
    std::unique_ptr<TPrintJob> job = QtPrintJob::ToPdf((Root() / "measure.pdf").string(), "measure");
    const TLayoutPageSize page = LayoutPageSize(*job);
    pages = LayoutPages(page.Height, page.LineStep, {});
    font = LayoutFontFor(*job);
  }
  std::vector<std::vector<QString>> texts;
  for (const TLayoutPage& page : pages) {
    texts.emplace_back();
    for (const TLayoutLine& line : page) texts.back().push_back(WidgetText(line.Text));
  }
  const QString pdf = QString::fromStdString((Root() / "bare.pdf").string());
  bench::Timed(state, "layout/bare", [&] {
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageLayout(
        QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, QMarginsF(0.25, 0.25, 0.25, 0.25),
                    QPageLayout::Inch));
    QPainter painter(&printer);
    QFont plain(QStringLiteral("Liberation Mono"));
    plain.setStyleHint(QFont::TypeWriter);
    plain.setPixelSize(font.Height);
    QFont bold = plain;
    bold.setBold(true);
    for (size_t p = 0; p < pages.size(); ++p) {
      if (p > 0) printer.newPage();
      for (size_t i = 0; i < pages[p].size(); ++i) {
        painter.setFont(pages[p][i].Bold ? bold : plain);
        painter.drawText(font.X, pages[p][i].Y + painter.fontMetrics().ascent(), texts[p][i]);
      }
    }
    painter.end();
  });
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  return bench::Run("layout_bench", [&] {
    fs::create_directories(Root());
    BuildTable();
    for (benchmark::internal::Benchmark* b :
         {benchmark::RegisterBenchmark("layout/print", Print), benchmark::RegisterBenchmark("layout/bare", Bare)}) {
      b->Unit(benchmark::kMillisecond)->MinTime(2)->UseRealTime();
    }
    benchmark::RunSpecifiedBenchmarks();
    std::map<std::string, double>& meanMs = bench::MeanMs();
    std::printf("\n%-20s %12s\n", "workload", "mean ms");
    for (const auto& [name, ms] : meanMs) std::printf("%-20s %12.2f\n", name.c_str(), ms);
    const double bare = meanMs["layout/bare"];
    if (bare > 0) {
      std::printf("layout/print : layout/bare = %.2fx (aim %.1fx)\n", meanMs["layout/print"] / bare, AimRatio);
    }
  });
}
