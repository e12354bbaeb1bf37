#include "templates/printer_list.h"

#include "platform/dialogs.h"
#include "platform/printers.h"
#include "platform/text.h"

#include <optional>

namespace {

std::optional<std::vector<std::string>> printerList;

// A name with its port or server ("Laser on lp0") shows without it.
std::string ShortPrinterName(const std::string& name) {
  const int on = Pos(" on ", name);
  return on > 1 ? Copy(name, 1, on - 1) : name;
}

}  // namespace

const std::vector<std::string>& BuildPrinterList() {
  if (!printerList) {
    printerList.emplace();
    for (const std::string& name : PrinterNames()) printerList->push_back(ShortPrinterName(name));
    if (printerList->empty()) {
      ShowMessage(NoPrintersMsg);
    }
  }
  return *printerList;
}

void ResetPrinterList() { printerList.reset(); }
