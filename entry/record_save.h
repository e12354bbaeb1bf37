// The entry screen's Save: the record the fields make (entry/save_walk.h)
// written to the open template's data file, file 52: an insert for a new
// entry, an update of the record loaded from the grid view in editing mode.
// No widget: the screen is a TSaveScreen, the messages go through the
// dialog seam.
//
// The template's shared save lock is held from before the data file opens
// until it is closed again, so that no restructure renames the file or
// moves its fields meanwhile; with it held the layout the screen was built
// from is checked to be still the one on disk (GridLayoutStillCurrent).
// Locked records and files are the numbered-file layer's questions.
//
// In editing mode the record is read again just before its update and
// compared with the copy the screen took when it loaded the record: a
// record another workstation changed since is not overwritten; the screen
// loads it instead and says so. The record read again is also where the
// update's prefix comes from.
//
// Messages come once file 52 is closed and the lock released, the save's
// outcome first, then a close that failed (the layer retries it later).
#pragma once

#include "entry/save_walk.h"

#include <map>
#include <string>

// The screen around the fields.
class TSaveScreen : public TSaveView {
public:
  // A grid row is being edited.
  virtual bool Editing() const = 0;
  // The flag an index field's exit sets when it has just shown a stored
  // record: the next Save click only clears it, outside editing mode.
  virtual bool& SkipNextSave() = 0;
  // A find waits to run.
  virtual bool FindPending() const = 0;
  // The hourglass on or off.
  virtual void ShowBusy(bool On) = 0;
  // Editing mode: the position cell of the grid row being edited, and the
  // record as the screen loaded it (prefix first; empty when no copy was
  // taken, which nothing compares).
  virtual std::string EditedRowPosition() const = 0;
  virtual std::string LoadedRecord() const = 0;
  // Editing mode: Store.TplRec holds the record as it now is; the screen
  // shows it, its grid row too, and keeps it as the new loaded copy.
  virtual void ReloadChangedRecord() = 0;
  // The screen back to "New entry"; the find again.
  virtual void Clear() = 0;
  virtual void Find() = 0;
};

enum class TSaveOutcome {
  Skipped,  // the skip-next-save flag ended the click
  Refused,  // a field, the layout or a changed record: nothing written
  Failed,   // the open, the walk or the write failed
  Done,
};

// Runs the Save click. Lookups: the template lookups' control records by
// slot, as the screen's build made them.
TSaveOutcome SaveRecord(TSaveScreen& Screen, const std::map<int, TFieldControl>& Lookups);

// What a done save does next.
enum class TAfterSave { Nothing, Clear, Find };
TAfterSave AfterSave(bool Editing, bool AutoClear, bool ReturnToGridAfterEdit, bool FindPending);

// The texts of a write that failed: the duplicate-key text for status 5,
// else the failure's own text first.
std::string WriteFailureText(const std::string& Message, int Status);

// Shown for an update whose record another workstation changed since the
// screen loaded it.
extern const std::string RecordChangedText;
// Shown when the record of the grid row cannot be read again (Why: the
// layer's text, or empty when the row holds no position).
std::string RereadFailureText(const std::string& Why);
