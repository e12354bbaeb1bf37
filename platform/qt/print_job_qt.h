// The print job on a QPrinter: a real printer, or a PDF file in its place.
#pragma once

#include "platform/print_job.h"

#include <QFont>
#include <QPainter>
#include <QPrinter>

#include <memory>
#include <string>

class QPrinterInfo;

class QtPrintJob : public TPrintJob {
public:
  // A job on Printer (portrait, its current settings).
  static std::unique_ptr<QtPrintJob> OnPrinter(const QPrinterInfo& Printer, const std::string& Title);
  // A job written as a PDF to the native path PdfPath (Letter, quarter-inch margins, 1200
  // pixels per inch). The file appears whole at EndDoc and replaces any
  // before it; an aborted job leaves it as it was.
  static std::unique_ptr<QtPrintJob> ToPdf(const std::string& PdfPath, const std::string& Title);
  ~QtPrintJob() override;

  int PageWidth() const override;
  int PageHeight() const override;
  int PixelsPerInchX() const override;
  int PixelsPerInchY() const override;
  void SetFont(int PixelHeight, bool Bold) override;
  int TextWidth(const std::string& Text) override;
  void TextOut(int X, int Y, const std::string& Text) override;
  void NewPage() override;
  void EndDoc() override;
  void Abort() override;

private:
  QtPrintJob(std::unique_ptr<QPrinter> Printer, std::string PdfPath);
  // Raises Exception when the printer refuses the job.
  void Begin(const std::string& Title);

  std::unique_ptr<QPrinter> printer_;
  QPainter painter_;
  // The finished file's name for a PDF job (written beside it first), else empty.
  std::string pdfPath_;
  bool open_ = false;
};
