// Exporting a template as an export set (templates/export_set.h): its
// descriptor and data file, those of each distinct sub-template its "M"
// lookups name (one level deep, never the template itself), and the file of
// each distinct user list its "U" lookups name, copied into a folder the
// user chooses. Template files are copied whole through the record manager,
// never over an existing file, each template's pair under its shared save
// lock so a save elsewhere cannot split a generation. A failed template copy
// removes every file this export wrote and stops; a failed list copy is
// reported and the export goes on.
//
// Every message is shown here through the dialog seam; the folder comes from
// the caller's chooser (the screen's folder browser, or a test's answer).
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The chosen folder, or nothing when the user cancelled.
using TFolderChooser = std::function<std::optional<std::string>(const std::string& Prompt)>;

inline const std::string ExportFolderPrompt = "Select the folder to which you wish to export your template:";

// The confirmation lines of a group joined as the question shows them.
inline const std::string ComponentLineBreak = "\r\t";

// Exports the template Name (as listed, trailing blanks allowed). True when
// the set was written completely (lists aside).
bool ExportTemplate(const std::string& Name, const TFolderChooser& ChooseFolder);
