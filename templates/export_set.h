// The names of an export set: the files that carry templates and their
// lists from one office's data folder to another's, all in one folder the
// user chose. nn is the set number "00".."99", nnn a template number
// zero-filled:
//   EXP<nn><nnn>.DS1   the main template's descriptor
//   EXP<nn><nnn>.qmd   its data file (likewise for every sub-template)
//   EXP<nn><nnn>.DSC   a sub-template's descriptor
//   <n>.lst            a user list the templates name (user_list_codec.h)
// Names are written in the case shown and read in any case. A folder holds
// at most 100 sets: the next set is the first nn for which no EXP<nn>???.DS1
// lies in the folder.
#pragma once

#include "templates/template_number.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr int ExportSetLimit = 100;

enum class TExportFileKind { MainDescriptor, SubDescriptor, DataFile };

struct TExportFileName {
  int Set = 0;  // 0..99
  TTemplateNumber Number;
  TExportFileKind Kind = TExportFileKind::MainDescriptor;

  bool operator==(const TExportFileName&) const = default;
};

// "EXP05007.DS1", "EXP05007.DSC", "EXP05007.qmd".
std::string ExportFileName(const TExportFileName& Name);
// "EXP", two digits, three digits naming a template, "." and DS1, DSC or
// QMD, in any case; nothing else (no folder, no blanks).
std::optional<TExportFileName> ParseExportFileName(std::string_view FileName);

// The first free set number of the folder, or nothing when all 100 are used.
std::optional<int> FreeExportSet(const std::string& Folder);

// The template numbers of the sub-template descriptors of Set in the folder,
// ascending, the main number left out.
std::vector<TTemplateNumber> ExportSubTemplates(const std::string& Folder, int Set, const TTemplateNumber& Main);
