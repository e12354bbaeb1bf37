// The printers the system knows, as one replaceable service: the widget
// layer installs the real list at start-up; tests install a fake.
#pragma once

#include <string>
#include <vector>

class PrinterProvider {
public:
  virtual ~PrinterProvider() = default;
  // Names of the installed printers in the system's order, Windows-1252.
  virtual std::vector<std::string> PrinterNames() = 0;
};

// Installs a provider and returns the one it replaces. Null restores the
// fallback, which knows no printer.
PrinterProvider* SetPrinterProvider(PrinterProvider* provider);

// The installed provider's names.
std::vector<std::string> PrinterNames();
