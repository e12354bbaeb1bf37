// What the main window lists: every template of the master file in its
// key-1 (name) byte order, read without widgets so that tests and the
// benchmark drive it directly. Reading also finds the two built-in e-mail
// templates, makes sure "CLCA.IDX" knows this workstation, and picks the
// item a saved template or a direct start (parameter 2) selects.
//
// A data folder without a master file gets one: empty, or at installation
// (parameter 1 "X") with both e-mail templates and their files. A master
// another workstation made meanwhile is read as it is. A folder that holds
// descriptors but lost its master is refused: an empty master would hide
// those templates and hand their numbers out again.
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
  bool IsChildApp = false;          // parameter 7 is "1"
  bool SingleTemplateMode = false;  // a direct start that is no child
  bool NoEmailTemplates = false;    // neither e-mail template is in the master file

  void Reset() { *this = TMainWindowFlags(); }
};

extern TMainWindowFlags MainFlags;

// The question while the master file stays locked at the list's open.
extern const std::string MasterOpenLockMsg;

struct TTemplateListing {
  std::vector<std::string> Items;  // the 30-byte names as stored, in list order
  int Selected = -1;               // the item to select; -1 for none chosen
  // The setup command may be offered: neither e-mail template was found.
  // Never set for a master made empty in this run.
  bool OfferEmailSetup = false;
};

enum class TListOutcome {
  Listed,     // Listing holds the master's templates
  Installed,  // installation done; the program ends without a window
  Terminate,  // after the message: the program must end
};

// Fills Store.TemplateList and Listing from Store.DataDir. Install: the
// run was started to install (parameter 1 "X"); it counts only when the
// master file is missing.
TListOutcome LoadTemplateList(TTemplateListing& Listing, bool Install);

// Parameter 1 asks for installation.
bool InstallRequested();

// "'" + the item without trailing blanks + "'": the name the menu
// captions carry while an item is selected.
std::string QuotedItemName(const std::string& Item);

// The trimmed number of the entry of Store.TemplateList whose trimmed name
// equals the trimmed Name; "" when none (entries are searched up to the
// first empty one).
std::string TemplateNumberOf(const std::string& Name);
