#include "platform/qt/printers_qt.h"

#include "platform/errors.h"
#include "platform/qt/print_job_qt.h"
#include "platform/qt/widget_text.h"

#include <QPrinterInfo>
#include <QStringList>

#include <cstdlib>

namespace {

std::string pdfTarget;

}  // namespace

std::vector<std::string> QtPrinters::PrinterNames() {
  std::vector<std::string> names;
  for (const QString& name : QPrinterInfo::availablePrinterNames()) {
    try {
      names.push_back(StoredText(name));
    } catch (const EConvertError&) {
    }
  }
  return names;
}

std::unique_ptr<TPrintJob> QtPrinters::BeginJob(const std::string& Title) {
  if (!pdfTarget.empty()) return QtPrintJob::ToPdf(pdfTarget, Title);
  const QPrinterInfo printer = QPrinterInfo::defaultPrinter();
  if (printer.isNull()) return nullptr;
  return QtPrintJob::OnPrinter(printer, Title);
}

void SetPrintToPdf(const std::string& NativePath) { pdfTarget = NativePath; }

PrinterProvider* InstallQtPrinters() {
  static QtPrinters printers;
  if (const char* target = std::getenv(PrintToPdfVariable)) SetPrintToPdf(target);
  return SetPrinterProvider(&printers);
}
