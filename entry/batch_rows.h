// The batch viewer's rows, read without a window: one per TRIN record in
// key-0 order with its description lines joined, and the total hours.
#pragma once

#include "btrieve/numbered_files.h"

#include <cstdint>
#include <string>
#include <vector>

struct TBatchRow {
  std::string Date;         // display text of the entry's file date
  std::string Employee, Client, CaseSuffix, Group;
  std::string Hours;        // PackedHoursToText, or "deleted"
  std::string Description;  // the lines joined
  std::string Position;     // the grid's position cell (templates/grid_position.h)
  std::string Link;         // "%8s", as stored
  int64_t Hundredths = 0;
  bool Deleted = false;
};

// Reads open files 127 and 128 (TrinRec, DescRec) from the first TRIN
// record on. Raises the layer's EBtrAbort.
std::vector<TBatchRow> LoadBatchRows();

// The total of the rows not deleted, in hundredths, and as "0.00" text.
int64_t TotalHundredths(const std::vector<TBatchRow>& Rows);
std::string HundredthsText(int64_t Hundredths);
