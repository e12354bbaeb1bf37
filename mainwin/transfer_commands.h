// The seams of the export and import commands: while set, each answers in
// place of its dialog (the folder browser, the open dialog, the name
// dialog), so tests and tools can script a whole export or import.
#pragma once

#include "templates/template_export.h"
#include "templates/template_import.h"

#include <functional>
#include <optional>
#include <string>

// The chosen export set file, or nothing for Cancel.
using TImportFileChooser = std::function<std::optional<std::string>()>;

struct TTransferSeams {
  TFolderChooser ExportFolder;
  TImportFileChooser ImportFile;
  TNameAsker ImportName;
};
// The seams in force; empty functions use the dialogs.
TTransferSeams& TransferSeams();

// The open dialog's filter: export set main descriptors, any case.
inline const char* const OpenDialog1Filter = "CV Matterdesk Template ([eE][xX][pP]?????.[dD][sS]1)";
