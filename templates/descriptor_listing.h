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

// What a scan over every template of Store.DataDir reads: the listing's
// descriptors, then each template whose descriptor lies only under its
// previous generation at this moment (a save elsewhere between moving the
// old one aside and writing the new, or one cut short there), named as its
// descriptor. The scan waits for that template's save lock like any other
// and reads the descriptor once the save has ended or been recovered; left
// out, the template would go unseen.
std::vector<TDescriptorEntry> DescriptorsToScan();

// True when some file matching "MNGR???.DSC" lies in Store.DataDir.
bool TemplatesExist();
