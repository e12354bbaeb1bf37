// What the main window lists: every template of the master file in its
// key-1 (name) byte order, read without widgets so that tests and the
// benchmark drive it directly. Reading also finds the two built-in e-mail
// templates, makes sure "CLCA.IDX" knows this workstation, and picks the
// item a saved template or a direct start (parameter 2) selects.
//
// A data folder that holds no template (no descriptor, and no master file
// or an empty one) gets both e-mail templates and their files, as on a
// first run, whatever made it so: a data folder that went is never left an
// empty office. A master another workstation made meanwhile is read as it
// is. A folder that holds descriptors but lost its master is refused: an
// empty master would hide those templates and hand their numbers out
// again. A run started to install (parameter 1 "X") ends without a window
// whatever it found.
//
// The master file is file 1 only while it is read; it is closed on every
// path.
#pragma once

#include "platform/window_messages.h"

#include <string>
#include <vector>

// The main window's flags that later commands read.
struct TMainWindowFlags {
  HWND OwnHandle = 0;               // this instance's handle on the instance bus
  bool NoEmailTemplates = false;    // neither e-mail template is in the master file

  void Reset() { *this = TMainWindowFlags(); }
};

extern TMainWindowFlags MainFlags;

// The question while the master file stays locked at the list's open.
extern const std::string MasterOpenLockMsg;
// The question at an open of the master file: Lead, then why it may be
// locked.
std::string MasterRetryText(const std::string& Lead);

struct TTemplateListing {
  std::vector<std::string> Items;  // the 30-byte names as stored, in list order
  int Selected = -1;               // the item to select; -1 for none chosen
  // The setup command may be offered: neither e-mail template was found
  // among the templates of the master.
  bool OfferEmailSetup = false;
};

enum class TListOutcome {
  Listed,     // Listing holds the master's templates
  Installed,  // a run started to install is done; it ends without a window
  Terminate,  // after the message: the program must end
};

// Fills Store.TemplateList and Listing from Store.DataDir. Install: the
// run was started to install (parameter 1 "X"): Installed instead of
// Listed.
TListOutcome LoadTemplateList(TTemplateListing& Listing, bool Install);

// Parameter 1 asks for installation.
bool InstallRequested();

// "'" + the item without trailing blanks + "'": the name the menu
// captions carry while an item is selected.
std::string QuotedItemName(const std::string& Item);

// The entry of Store.TemplateList whose trimmed name is Name removed, the
// later ones moved up; the list still ends at its first empty entry.
void RemoveTemplateListEntry(const std::string& Name);
