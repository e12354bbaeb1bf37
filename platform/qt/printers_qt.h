// The printers of the print system (CUPS) as the program's printer list.
#pragma once

#include "platform/printers.h"

class QtPrinters : public PrinterProvider {
public:
  // A printer whose name Windows-1252 cannot hold is left out: no setting
  // could name it.
  std::vector<std::string> PrinterNames() override;
};

// Installs the print system's list as the program's (at start-up). Returns
// the provider it replaces.
PrinterProvider* InstallQtPrinters();
