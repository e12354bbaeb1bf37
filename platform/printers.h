// The printers the system knows, as one replaceable service: the widget
// layer installs the real one at start-up; tests install a fake.
#pragma once

#include "platform/print_job.h"

#include <memory>
#include <string>
#include <vector>

class PrinterProvider {
public:
  virtual ~PrinterProvider() = default;
  // Names of the installed printers in the system's order, Windows-1252.
  virtual std::vector<std::string> PrinterNames() = 0;
  // A job named Title begun on the default printer, portrait, with the
  // printer's current settings; null when there is no default printer (a
  // provider that only lists names has none). A printer that refuses the
  // job raises Exception.
  virtual std::unique_ptr<TPrintJob> BeginJob(const std::string& Title);
};

// Installs a provider and returns the one it replaces. Null restores the
// fallback, which knows no printer.
PrinterProvider* SetPrinterProvider(PrinterProvider* provider);

// The installed provider's names.
std::vector<std::string> PrinterNames();
// A job on the installed provider's default printer; null when none.
std::unique_ptr<TPrintJob> BeginPrintJob(const std::string& Title);
