// The batch journal "Batch<WSID>.jnl": what an export or erase of the
// workstation's batch has reached, so that a run cut short is finished or
// undone by the next one. Windows-1252 text, each line ending CR LF:
//   PREPARED   CR LF  backup number (3 upper-case hex digits)  CR LF  export folder  CR LF
//   COMMITTED  CR LF  backup number  CR LF  export folder  CR LF
//   ERASING    CR LF
// PREPARED: the backups and the export copies may be partly made; the
// batch files are untouched. COMMITTED: both export copies are whole; the
// export stands and only its renames and the new empty batch remain.
// ERASING: the batch is being replaced by an empty one.
#pragma once

#include <string>
#include <string_view>

enum class TBatchJournalState { Prepared, Committed, Erasing };

struct TBatchJournal {
  TBatchJournalState State = TBatchJournalState::Prepared;
  int Backup = 0;      // 1..MaxBatchBackup; 0 for ERASING
  std::string Folder;  // the export folder; empty for ERASING

  bool operator==(const TBatchJournal&) const = default;
};

std::string FormatBatchJournal(const TBatchJournal& Journal);
// False, Journal unchanged, for any text FormatBatchJournal does not make.
bool ParseBatchJournal(std::string_view Text, TBatchJournal& Journal);
