// The files one save of a template moves and makes, so that whatever way
// the save ends it leaves one whole generation: the new files once it
// committed, else the old ones back under their names.
//
// A previous generation (.DSX, .QMX) never lies in the folder when a save
// starts (the save recovers or refuses first), so one found later is this
// save's own. It is deleted only after the commit, .QMX first and .DSX
// last, since a .DSX left behind marks a save that did not finish. The new
// data file is deleted on failure only while the old one's backup is there
// to replace it.
#pragma once

#include "templates/template_number.h"

#include <cstdint>
#include <string>

struct TSaveFiles {
  TTemplateNumber Number;
  std::string DscName;   // MNGR<nnn>.DSC
  std::string DataName;  // MGRDT<nnn>.QMD
  bool DataCreated = false;  // DataName is this save's new file
  bool DscCreated = false;   // DscName is this save's new descriptor

  explicit TSaveFiles(const TTemplateNumber& N);
};

// Moves the data file to its previous generation; false when refused.
bool MoveDataAside(const TSaveFiles& Files);

// Files 1, 2, 56, 57 and 58 closed: the engine renames and deletes no file
// that is open. Every one is tried, a refused close twice (a close left
// pending by an earlier failure counts as the first); "" when all closed,
// else the failures' texts.
std::string CloseSaveFiles();

// After a failure: the new files deleted and the old ones moved back. ""
// when all went back, else the texts of what did not.
std::string PutBackOldFiles(const TSaveFiles& Files);

// After the commit: the .QMX, the grid layout and then the .DSX deleted;
// the .DSX stays when either of the others does. "" when all went, else the
// texts of what did not.
std::string DropOldFiles(const TSaveFiles& Files);
