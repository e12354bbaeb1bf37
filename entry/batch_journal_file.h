// The batch journal on disk (its text in templates/batch_journal.h): each
// state written whole to a new file beside it, flushed, then renamed over
// the journal, so a reader finds the old state or the new, never a part.
// Writing the journal is one counted file step of the fault point
// (platform/fault_point.h), as every other file change of an export is.
#pragma once

#include "templates/batch_journal.h"

enum class TJournalRead { Missing, Read, Damaged };

// False (errno set) when the journal could not be put in place; the old
// one, if any, then stands.
bool WriteBatchJournal(const TBatchJournal& Journal);
TJournalRead ReadBatchJournal(TBatchJournal& Journal);
bool BatchJournalExists();
// True when no journal is left.
bool DeleteBatchJournal();
