#include "entry/qt/select_export_dir.h"

#include "entry/batch_export.h"

#include <string>

void SelectExportDir() {
  SelectExportDirWith(
      [](const std::string&, const std::string&, std::string&) { return false; },
      [](const std::string& Folder) { return Folder.ends_with(":\\"); });
}
