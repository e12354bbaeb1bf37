// The workstation's batch as the quick entry and the batch viewer use it:
// files 127 (TRIN) and 128 (DESC) of the numbered-file layer, their
// buffers, and the writing of one entry (layouts in templates/batch_codec.h).
//
// Every write takes the exclusive batch lock (entry/batch_lock.h) and
// recovers first (entry/batch_recovery.h), so nothing writes a batch that
// an export or erase has not finished with. An entry's TRIN record and its
// description lines are written in one transaction: all or nothing. No box
// is shown while the lock is held.
#pragma once

#include "btrieve/numbered_files.h"
#include "platform/clock.h"

#include <string>
#include <vector>

constexpr uint8_t TrinFileNo = 127;
constexpr uint8_t DescFileNo = 128;

extern TDynCharArr TrinRec;  // 127 bytes once open
extern TDynCharArr DescRec;  // 91 bytes once open

// Set by the batch viewer's Edit: TrinRec holds the entry to edit, read at
// EditingBatchPos. The quick entry screen takes it from there.
extern bool EditingBatchEntry;
extern TBtrPosition EditingBatchPos;
// Everything above back to its start (tests).
void ResetBatchFileState();

// Recovers when needed (exclusive lock), then opens whichever of the two
// files is not open yet under the shared lock. A file that fails shows
// "Unable to open the matterdesk batch file <name>." with the layer's text
// and the contact line; the other is still tried. An unfinished recovery
// shows its one message and opens nothing. True when both are open.
bool OpenBatchFiles();
// The same for a caller holding the lock exclusively: the texts to show
// are appended to Failures.
bool OpenBatchFilesHeld(std::vector<std::string>& Failures);
// Closes 127 and 128 when open; false when the engine refused a close.
bool CloseBatchFiles();

// An entry as the quick entry screen holds it.
struct TBatchEntry {
  std::string Client, CaseSuffix, Group, Employee, Hours, Description;
  TDateTime Date = 0;
  // An edit of the entry the viewer read: its position and link.
  bool Editing = false;
  TBtrPosition EditPos{};
  std::string EditLink;
};

// The screen's checks before a save, in order; the field to focus.
enum class TBatchEntryField { None, Date, Hours };
struct TBatchEntryCheck {
  TBatchEntryField Field = TBatchEntryField::None;
  std::string Message;
};
// "Invalid date!" before 01/01/1981; "Hours must be between 0 and
// 99999.99" for hours outside that range or no number; "Hours can have
// maximum of two decimal places." for a third decimal.
TBatchEntryCheck CheckBatchEntry(TDateTime Date, const std::string& Hours);

// Writes the entry: a new one takes the last TRIN record's link plus 1 (1
// for an empty file); an edit re-reads its record at EditPos, refuses when
// it is gone or carries another link, and replaces the record and its
// lines. False after one error box (the layer's text, or the recovery's).
bool SaveBatchEntry(const TBatchEntry& Entry);

// Deletes the entry at Pos whose link is Link with its lines, in one
// transaction. "" when deleted; else the text to show after
// "Unable to delete this record:".
std::string DeleteBatchEntry(const TBtrPosition& Pos, const std::string& Link);

// The description pieces of the entry with link LinkText, in line order,
// read from open file 128 into DescRec.
std::vector<std::string> ReadDescPieces(const std::string& LinkText);
