// The printers of the print system (CUPS) as the program's printer list and
// default printer; or, by the print target setting, a PDF file in place of
// the default printer (tests, and a machine without one).
#pragma once

#include "platform/printers.h"

#include <string>

class QtPrinters : public PrinterProvider {
public:
  // A printer whose name Windows-1252 cannot hold is left out: no setting
  // could name it.
  std::vector<std::string> PrinterNames() override;
  // On the PDF target when one is set, else on the print system's default
  // printer (null when it has none).
  std::unique_ptr<TPrintJob> BeginJob(const std::string& Title) override;
};

// The environment variable that sets the PDF target at start-up.
inline constexpr char PrintToPdfVariable[] = "MATTERDESK_PRINT_TO_PDF";

// Jobs go to the PDF file NativePath, each replacing the one before; empty:
// to the default printer again.
void SetPrintToPdf(const std::string& NativePath);

// Installs the print system's printers as the program's (at start-up), the
// PDF target taken from PrintToPdfVariable when it is set. Returns the
// provider it replaces.
PrinterProvider* InstallQtPrinters();
