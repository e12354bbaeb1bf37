#include "platform/qt/print_job_qt.h"

#include "platform/errors.h"
#include "platform/qt/widget_text.h"

#include <QFontMetrics>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinterInfo>

#include <algorithm>
#include <filesystem>

namespace {

// Liberation Mono has Courier New's metrics, so counted columns line up.
const char* const FixedPitchFamily = "Liberation Mono";
constexpr double PdfMarginInches = 0.25;

// Where a PDF job writes until it is finished.
std::string PartialName(const std::string& PdfPath) { return PdfPath + ".part"; }

}  // namespace

QtPrintJob::QtPrintJob(std::unique_ptr<QPrinter> Printer, std::string PdfPath)
    : printer_(std::move(Printer)), pdfPath_(std::move(PdfPath)) {}

std::unique_ptr<QtPrintJob> QtPrintJob::OnPrinter(const QPrinterInfo& Printer, const std::string& Title) {
  std::unique_ptr<QtPrintJob> job(
      new QtPrintJob(std::make_unique<QPrinter>(Printer, QPrinter::HighResolution), std::string()));
  job->printer_->setPageOrientation(QPageLayout::Portrait);
  job->Begin(Title);
  return job;
}

std::unique_ptr<QtPrintJob> QtPrintJob::ToPdf(const std::string& PdfPath, const std::string& Title) {
  std::unique_ptr<QtPrintJob> job(new QtPrintJob(std::make_unique<QPrinter>(QPrinter::HighResolution), PdfPath));
  QPrinter& printer = *job->printer_;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(QString::fromStdString(PartialName(PdfPath)));
  const QMarginsF margins(PdfMarginInches, PdfMarginInches, PdfMarginInches, PdfMarginInches);
  printer.setPageLayout(QPageLayout(QPageSize(QPageSize::Letter), QPageLayout::Portrait, margins, QPageLayout::Inch));
  job->Begin(Title);
  return job;
}

void QtPrintJob::Begin(const std::string& Title) {
  printer_->setDocName(WidgetText(Title));
  if (!painter_.begin(printer_.get())) throw Exception("The printer could not start the print job.");
  open_ = true;
  SetFont(std::max(1, PixelsPerInchY() * 12 / 72), false);
}

QtPrintJob::~QtPrintJob() {
  if (open_) Abort();
}

int QtPrintJob::PageWidth() const { return printer_->width(); }
int QtPrintJob::PageHeight() const { return printer_->height(); }
int QtPrintJob::PixelsPerInchX() const { return printer_->logicalDpiX(); }
int QtPrintJob::PixelsPerInchY() const { return printer_->logicalDpiY(); }

void QtPrintJob::SetFont(int PixelHeight, bool Bold) {
  QFont font(QString::fromLatin1(FixedPitchFamily));
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setPixelSize(std::max(1, PixelHeight));
  font.setBold(Bold);
  painter_.setFont(font);
}

int QtPrintJob::TextWidth(const std::string& Text) {
  return painter_.fontMetrics().horizontalAdvance(WidgetText(Text));
}

void QtPrintJob::TextOut(int X, int Y, const std::string& Text) {
  // The caller places the top of the character cell; Qt draws on the baseline.
  painter_.drawText(X, Y + painter_.fontMetrics().ascent(), WidgetText(Text));
}

void QtPrintJob::NewPage() {
  if (!printer_->newPage()) throw Exception("The printer could not start a new page.");
}

void QtPrintJob::EndDoc() {
  if (!open_) return;
  open_ = false;
  if (!painter_.end()) throw Exception("The printer could not finish the print job.");
  if (pdfPath_.empty()) return;
  std::error_code error;
  std::filesystem::rename(PartialName(pdfPath_), pdfPath_, error);
  if (error) throw Exception("The printed file could not be written: " + error.message());
}

void QtPrintJob::Abort() {
  if (!open_) return;
  open_ = false;
  if (pdfPath_.empty()) printer_->abort();
  painter_.end();
  if (!pdfPath_.empty()) {
    std::error_code ignored;
    std::filesystem::remove(PartialName(pdfPath_), ignored);
  }
}
