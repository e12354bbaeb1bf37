// Rebuilding the master file from the descriptors lying in the data folder,
// for a master file that is damaged or out of step: each template's number
// comes from its descriptor's name, its name from the descriptor's name
// record.
//
// The master file in place is kept as "Master.Bak" first (an older
// "Master.Bak" deleted); the record manager copies and deletes it and
// refuses the delete while any workstation holds the master open, which
// ends the rebuild with the master untouched. A folder without a master
// keeps whatever "Master.Bak" it holds: there is nothing to back up, and
// the old backup may be all that is left of a master.
//
// The descriptors are read in the listing's order, each under its
// template's shared save lock after a save cut short was recovered, plus
// every template lying only under its previous generation; a name that
// carries no number is left out (and logged). Each gives one master record
// "%-30s%3s"; blank names become "UnNamed" + n, counted per rebuild. Two
// descriptors with one name, an unreadable descriptor, one without a name
// record or one held elsewhere and not waited for fail the rebuild: the new
// master is deleted and the backup, when this rebuild made one, copied back.
//
// Files 200 (the descriptor read) and 201 (the new master) are closed on
// every path. Every failure shows its own message; success shows none.
#pragma once

#include <cstdint>

constexpr uint8_t RebuildDescriptorFileNo = 200;
constexpr uint8_t RebuildMasterFileNo = 201;

enum class TRebuild {
  Rebuilt,
  Failed,     // after the message; the previous master is back in place
  Terminate,  // the new master could not be made: the program must end
};

TRebuild RecreateMasterFile();
