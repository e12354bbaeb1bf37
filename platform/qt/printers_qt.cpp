#include "platform/qt/printers_qt.h"

#include "platform/errors.h"
#include "platform/qt/widget_text.h"

#include <QPrinterInfo>
#include <QStringList>

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

PrinterProvider* InstallQtPrinters() {
  static QtPrinters printers;
  return SetPrinterProvider(&printers);
}
