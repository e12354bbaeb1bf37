// Finding a grid row's record again in the template's data file (file 52)
// to edit it: Get Equal with lock on the first index with the row's key
// text, then Get Next with lock until the record at the row's position
// comes up, so rows with the same first-index key stay apart. The record
// is left in Store.TplRec, current and locked; the key number of file 52
// always comes back as it was.
#pragma once

#include <string>

enum class TGridRowSeek { Matched, PositionMismatch, NotFound };

// Opens file 52 when a save closed it. Raises the layer's EBtrAbort for an
// engine failure (the key number restored first).
TGridRowSeek SeekGridRowRecord(const std::string& KeyText, const std::string& PositionCell);

// The data file key of index IndexNo (1-5) of file 52.
int GridIndexKey(int IndexNo);
// Makes index IndexNo's key current on file 52 when the file is open.
void SetGridIndexKey(int IndexNo);
