// The descriptor files lying in a data folder: one listing of "MNGR???.DSC"
// (names compared without case, sorted as the file layer sorts them) that
// every scan over all descriptors walks, and the test whether any exists.
#pragma once

#include "templates/template_number.h"

#include <string>
#include <vector>

struct TDescriptorEntry {
  std::string Name;  // as on disk, without the folder
  // The number its name carries; false for a name like "MNGRold.DSC",
  // which matches the pattern but names no template.
  bool HasNumber = false;
  TTemplateNumber Number;
};

// Files (never folders) of Folder matching "MNGR???.DSC".
std::vector<TDescriptorEntry> DescriptorFiles(const std::string& Folder);

// True when some file matching "MNGR???.DSC" lies in Store.DataDir.
bool TemplatesExist();
