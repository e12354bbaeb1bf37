#include "templates/descriptor_listing.h"

#include "platform/files.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

namespace {

constexpr const char* DescriptorPattern = "\\MNGR???.DSC";
constexpr size_t NumberAt = 4;  // "MNGR" before the three digits
constexpr size_t NumberWidth = 3;

bool AllDigits(const std::string& S) {
  for (char c : S) {
    if (c < '0' || c > '9') return false;
  }
  return !S.empty();
}

}  // namespace

std::vector<TDescriptorEntry> DescriptorFiles(const std::string& Folder) {
  std::vector<TDescriptorEntry> out;
  for (const FileEntry& file : FindFiles(Folder + DescriptorPattern)) {
    if (file.Attr & faDirectory) continue;
    TDescriptorEntry entry;
    entry.Name = file.Name;
    const std::string digits = file.Name.substr(NumberAt, NumberWidth);
    entry.HasNumber = AllDigits(digits) && TTemplateNumber::TryParse(digits, entry.Number);
    out.push_back(std::move(entry));
  }
  return out;
}

std::vector<TDescriptorEntry> DescriptorsToScan() {
  std::vector<TDescriptorEntry> entries = DescriptorFiles(Store.DataDir);
  TTemplateNumberSet listed;
  for (const TDescriptorEntry& entry : entries) {
    if (entry.HasNumber) listed.set(static_cast<size_t>(entry.Number.Value()));
  }
  const TTemplateNumberSet withFiles = TemplateFilesInFolder(Store.DataDir);
  for (int n = 0; n <= MaxTemplateNumber; ++n) {
    const size_t bit = static_cast<size_t>(n);
    if (!withFiles.test(bit) || listed.test(bit) || !TemplateBackupExists(Store.DataDir, n)) continue;
    const TTemplateNumber number(n);
    // The name without the folder, as the listing gives it.
    entries.push_back({DescriptorFileName(number).substr(Store.DataDir.size() + 1), true, number});
  }
  return entries;
}

bool TemplatesExist() { return !DescriptorFiles(Store.DataDir).empty(); }
