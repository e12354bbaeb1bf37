#include "templates/save_files.h"

#include "btrieve/numbered_files.h"
#include "platform/errors.h"
#include "platform/files.h"
#include "templates/data_transfer.h"
#include "templates/descriptor_file.h"
#include "templates/master_file.h"
#include "templates/old_layout.h"
#include "templates/store_constants.h"
#include "templates/template_build.h"

#include <initializer_list>

namespace {

// One line of a clean-up's report.
void Note(std::string& Report, const std::string& Text) {
  Report += (Report.empty() ? "" : "\r") + Text;
}

void Delete(const std::string& Name, std::string& Report) {
  if (FileExists(Name) && !DeleteFile(Name)) Note(Report, "Unable to delete " + Name + ".");
}

// The previous generation back under Name; a new file under Name (New)
// goes first, but only once the old one is there to take its place.
void MoveBack(const std::string& Name, bool New, std::string& Report) {
  const std::string backup = PreviousGeneration(Name);
  if (!FileExists(backup)) {
    if (New) Delete(Name, Report);
    return;
  }
  Delete(Name, Report);
  if (!RenameFile(backup, Name)) Note(Report, "Unable to rename " + backup + "\rto " + Name + ".");
}

std::string Closing(const std::string& Report) { return Report.empty() ? "" : Report + ContactMsg; }

}  // namespace

TSaveFiles::TSaveFiles(const TTemplateNumber& N)
    : Number(N), DscName(DescriptorFileName(N)), DataName(DataFileName(N)) {}

bool MoveDataAside(const TSaveFiles& Files) {
  return RenameFile(Files.DataName, PreviousGeneration(Files.DataName));
}

std::string CloseSaveFiles() {
  std::string report;
  for (uint8_t fileNo : {MasterFileNo, DescriptorFileNo, OldDataFileNo, NewDataFileNo, OldDescriptorFileNo}) {
    // A close the engine refused stays pending on its number, and the next
    // close retries it: tried once more at once, since no file is put back
    // while it is open.
    for (int attempt = 1;; ++attempt) {
      try {
        BtrCloseFile(fileNo);
        break;
      } catch (const Exception& e) {
        if (attempt == 2) {
          Note(report, e.Message);
          break;
        }
      }
    }
  }
  return report;
}

std::string PutBackOldFiles(const TSaveFiles& Files) {
  std::string report;
  MoveBack(Files.DataName, Files.DataCreated, report);
  MoveBack(Files.DscName, Files.DscCreated, report);
  return Closing(report);
}

std::string DropOldFiles(const TSaveFiles& Files) {
  std::string report;
  Delete(PreviousGeneration(Files.DataName), report);
  DeleteGridFormat(Files.Number.ZeroFilled());
  if (FileExists(GridFormatFileName(Files.Number))) Note(report, "Unable to delete " + GridFormatFileName(Files.Number) + ".");
  // While a .QMX or the grid layout stays, so does the .DSX: beside the
  // committed descriptor it tells recovery to finish this save.
  if (report.empty()) Delete(PreviousGeneration(Files.DscName), report);
  return Closing(report);
}
