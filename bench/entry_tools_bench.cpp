// The entry screen's side tools against the bare libraries doing the same
// work:
//
//   print   a 50-field record's lines made and painted through the print
//           job into a PDF file, against QPainter drawing the finished
//           lines' runs on a QPrinter writing a PDF (aim 1.2x)
//   spell   a spelling walk over a description of 2,808 characters (the
//           quick entry's longest) against Hunspell's own calls on the same
//           words (aim 1.5x)
#include "bench/bare_pdf.h"
#include "bench/bench_support.h"

#include "entry/record_print.h"
#include "platform/codepage.h"
#include "platform/date_format.h"
#include "platform/qt/print_job_qt.h"
#include "platform/qt/widget_text.h"
#include "platform/spell_checker.h"

#include <QApplication>
#include <QPainter>

#include <hunspell.hxx>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char* const Dictionary = "/usr/share/hunspell/en_US";

// Prose of the office's kind with a misspelling now and then, 2,808
// characters.
std::string Description() {
  const std::string sentences[] = {
      "Reviewed the lease agreement and the landlord's letter of March 3rd regarding the renewel terms. ",
      "Telephone conference with the client about the settlement offer and next steps; client will call back. ",
      "Drafted a memorandum on the statute of limitations for the negligance claim and sent it for review. ",
      "Prepared the discovery requests, including interrogatories and requests for production of documents. ",
      "Attended the hearing on the motion to compel; the court granted the motion in part and denied it in part. ",
  };
  std::string text;
  for (size_t i = 0; text.size() < 2808; ++i) text += sentences[i % 5];
  text.resize(2808);
  return text;
}

// Fifty fields of every kind, narrow ones paired, some edits long.
std::vector<TPrintRow> FiftyFields() {
  std::vector<TPrintRow> rows;
  for (int i = 1; i <= 50;) {
    const std::string label = "Field " + std::to_string(i);
    switch (i % 5) {
      case 0:
        rows.push_back({{TPrintKind::Memo, label, "First line of the note\nSecond line\nThird"}, false, {}});
        ++i;
        break;
      case 1:
        rows.push_back({{TPrintKind::Edit, label, "A longer text that runs past forty characters and wraps"},
                        false,
                        {}});
        ++i;
        break;
      default:
        rows.push_back({{TPrintKind::Edit, label, "Value " + std::to_string(i)},
                        true,
                        {TPrintKind::Date, "Field " + std::to_string(i + 1), "12/11/2026"}});
        i += 2;
    }
  }
  return rows;
}

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  benchmark::Initialize(&argc, argv);
  return bench::Run("entry_tools_bench", [&] {
    const auto root = bench::Root("entry_tools_bench");
    std::filesystem::create_directories(root);
    const std::string text = Description();

    std::string error;
    auto checker = TSpellChecker::Open(Dictionary, (root / "personal.dic").string(), error);
    bench::Check(checker != nullptr, error);
    Hunspell bare((std::string(Dictionary) + ".aff").c_str(), (std::string(Dictionary) + ".dic").c_str());
    std::vector<std::string> words;
    for (const auto& [at, length] : SpellWords(text)) words.push_back(Win1252ToUtf8(text.substr(at, length)));

    const char* rounds = std::getenv("MD_BENCH_ROUNDS");
    const int iterations = rounds ? std::max(1, std::atoi(rounds)) : 50;
    benchmark::RegisterBenchmark("spelling walk", [&](benchmark::State& s) {
      bench::Timed(s, "spelling walk", [&] {
        TSpellWalk walk(*checker, text);
        int misspelt = 0;
        while (walk.Next()) ++misspelt;
        benchmark::DoNotOptimize(misspelt);
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    benchmark::RegisterBenchmark("bare hunspell", [&](benchmark::State& s) {
      bench::Timed(s, "bare hunspell", [&] {
        int misspelt = 0;
        for (const std::string& w : words) misspelt += !bare.spell(w);
        benchmark::DoNotOptimize(misspelt);
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    const std::vector<TPrintRow> rows = FiftyFields();
    const std::string pdf = (root / "record.pdf").string();
    benchmark::RegisterBenchmark("record print", [&](benchmark::State& s) {
      bench::Timed(s, "record print", [&] {
        std::unique_ptr<TPrintJob> job = QtPrintJob::ToPdf(pdf, "Bench");
        PaintRecordLines(*job, RecordPrintLines("Bench", 46000, rows));
        job->EndDoc();
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    // The finished lines, the font and the column, as the print has them.
    const std::vector<TPrintLine> lines = RecordPrintLines("Bench", 46000, rows);
    int height = 0, column = 0;
    {
      std::unique_ptr<TPrintJob> job = QtPrintJob::ToPdf((root / "measure.pdf").string(), "measure");
      height = -RecordPrintFontHeight(job->PixelsPerInchY());
      job->SetFont(height, false);
      column = job->TextWidth("W");
    }
    const QString barePdf = QString::fromStdString((root / "bare.pdf").string());
    benchmark::RegisterBenchmark("bare qpainter", [&](benchmark::State& s) {
      bench::Timed(s, "bare qpainter", [&] {
        QPrinter printer(QPrinter::HighResolution);
        SetUpBarePdf(printer, barePdf);
        QPainter painter(&printer);
        const QFont plain = BarePrintFont(height, false), bold = BarePrintFont(height, true);
        const int advance = RecordPrintLineAdvance(height);
        int y = 0;
        for (const TPrintLine& line : lines) {
          size_t at = 0;
          const auto draw = [&](size_t End, bool Bold) {
            if (End <= at) return;
            painter.setFont(Bold ? bold : plain);
            painter.drawText(int(at) * column, y + painter.fontMetrics().ascent(),
                             WidgetText(line.Text.substr(at, End - at)));
            at = End;
          };
          for (const auto& [first, end] : line.Bold) {
            draw(first, false);
            draw(end, true);
          }
          draw(line.Text.size(), false);
          y += advance;
        }
        painter.end();
      });
    })->Unit(benchmark::kMillisecond)->Iterations(iterations);
    benchmark::RunSpecifiedBenchmarks();

    const double print = bench::MeanMs()["record print"], qpainter = bench::MeanMs()["bare qpainter"];
    const double walk = bench::MeanMs()["spelling walk"], hunspell = bench::MeanMs()["bare hunspell"];
    std::printf("\n%-28s %10s %10s %8s\n", "workload", "ours ms", "bare ms", "ratio");
    std::printf("%-28s %10.3f %10.3f %7.2fx\n", "print a 50-field record", print, qpainter,
                qpainter > 0 ? print / qpainter : 0);
    std::printf("%-28s %10.3f %10.3f %7.2fx\n", "spell-check 2,808 chars", walk, hunspell,
                hunspell > 0 ? walk / hunspell : 0);
  });
}
