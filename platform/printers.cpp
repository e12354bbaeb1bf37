#include "platform/printers.h"

namespace {

class NoPrinters : public PrinterProvider {
public:
  std::vector<std::string> PrinterNames() override { return {}; }
};

NoPrinters fallback;
PrinterProvider* current = &fallback;

}  // namespace

PrinterProvider* SetPrinterProvider(PrinterProvider* provider) {
  PrinterProvider* previous = current == &fallback ? nullptr : current;
  current = provider ? provider : &fallback;
  return previous;
}

std::vector<std::string> PrinterNames() { return current->PrinterNames(); }
