// The print stand-in writing PDF files: what a job prints comes out as
// text on its pages, whole at the end, and nothing of an aborted job.
#include "platform/printers.h"
#include "platform/qt/printers_qt.h"

#include "testing/pdf_text.h"
#include "testing/temp_dir.h"

#include <QPrinterInfo>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

class PrintJobTest : public TempDirTest {
protected:
  void SetUp() override {
    previous_ = InstallQtPrinters();
    SetPrintToPdf(Pdf);
  }
  void TearDown() override {
    SetPrintToPdf("");
    SetPrinterProvider(previous_);
  }

  // Lines at a step of Step pixels from the top, one page per list.
  void PrintPages(TPrintJob& Job, const std::vector<std::vector<std::string>>& Pages) {
    const int step = Job.PageHeight() / 64;
    for (size_t p = 0; p < Pages.size(); ++p) {
      if (p > 0) Job.NewPage();
      int y = 0;
      for (const std::string& line : Pages[p]) {
        Job.TextOut(0, y, line);
        y += step;
      }
    }
  }

  const std::string Pdf = TempPath("job.pdf");
  PrinterProvider* previous_ = nullptr;
};

TEST_F(PrintJobTest, WhatAJobPrintsComesOutPageByPageAtItsEnd) {
  std::unique_ptr<TPrintJob> job = BeginPrintJob("Layout");
  ASSERT_NE(job, nullptr);
  // Letter at 1200 pixels per inch, a quarter inch off each edge.
  EXPECT_EQ(job->PixelsPerInchY(), 1200);
  EXPECT_EQ(job->PageWidth(), 9600);
  EXPECT_EQ(job->PageHeight(), 12600);
  job->SetFont(200, true);
  // "\xe9" is Windows-1252's e with an acute accent.
  PrintPages(*job, {{"Caf\xe9   Page 1", "Field Name       Type"}, {"Second page"}});
  EXPECT_FALSE(std::filesystem::exists(Pdf));
  job->EndDoc();
  const std::vector<std::vector<std::string>> want{{"Café   Page 1", "Field Name       Type"}, {"Second page"}};
  // 200 pixels at 1200 per inch are 12 points, each character 7.2 wide.
  std::vector<std::vector<std::string>> pages = PdfPages(Pdf, 7.2);
  for (auto& page : pages) std::erase(page, "");
  EXPECT_EQ(pages, want);
  EXPECT_FALSE(std::filesystem::exists(Pdf + ".part"));
}

TEST_F(PrintJobTest, TheFontIsFixedPitchAtThePixelHeightAsked) {
  std::unique_ptr<TPrintJob> job = BeginPrintJob("Widths");
  ASSERT_NE(job, nullptr);
  for (const bool bold : {false, true}) {
    job->SetFont(200, bold);
    const int a = job->TextWidth("A");
    // Courier New's advance is 0.6 of its height.
    EXPECT_EQ(a, 120) << bold;
    EXPECT_EQ(job->TextWidth("i"), a);
    // Qt keeps the advance's fraction: 118 of them are 2 pixels more.
    EXPECT_NEAR(job->TextWidth(std::string(118, 'A')), 118 * a, 3);
  }
  job->SetFont(100, false);
  EXPECT_EQ(job->TextWidth("A"), 60);
}

TEST_F(PrintJobTest, AnAbortedJobLeavesTheFileAsItWas) {
  {
    std::ofstream(Pdf) << "earlier";
  }
  {
    std::unique_ptr<TPrintJob> job = BeginPrintJob("Aborted");
    ASSERT_NE(job, nullptr);
    job->TextOut(0, 0, "never");
    job->Abort();
  }
  {
    // Destroyed unfinished: aborted too.
    std::unique_ptr<TPrintJob> job = BeginPrintJob("Dropped");
    ASSERT_NE(job, nullptr);
    job->TextOut(0, 0, "never");
  }
  std::ifstream in(Pdf);
  std::string text;
  std::getline(in, text);
  EXPECT_EQ(text, "earlier");
  EXPECT_FALSE(std::filesystem::exists(Pdf + ".part"));
}

TEST_F(PrintJobTest, WithoutATargetOrADefaultPrinterNoJobBegins) {
  SetPrintToPdf("");
  if (!QPrinterInfo::defaultPrinter().isNull()) GTEST_SKIP() << "this machine has a default printer";
  EXPECT_EQ(BeginPrintJob("None"), nullptr);
  SetPrinterProvider(nullptr);
  EXPECT_EQ(BeginPrintJob("None"), nullptr);
}

}  // namespace
