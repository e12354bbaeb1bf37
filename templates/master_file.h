// The master file on disk: free template numbers and new master records.
// The file is always number 1 of the numbered-file layer; its record layout
// is master_codec.h.
//
// A number is free when no master record holds it (an unlocked Get Equal
// on key 2 with its stored form) and no file of a template with that
// number lies in the data folder: a descriptor, a data file or the
// previous generation of either, left by a failed copy, a cut import or a
// crash, would otherwise be adopted or deleted by the next new template.
// A search lists the folder once and hands the listing to every probe.
//
// Numbers are handed out lowest-first, so a freed number is reused by the
// next new template; 999 is never given. When no number below 999 is free
// (for several numbers: fewer than the count plus one), the limit message
// is shown and the operation ends with SilentAbort.
#pragma once

#include "btrieve/numbered_files.h"
#include "templates/template_number.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

constexpr uint8_t MasterFileNo = 1;
// Open mode of the master file while a new template takes a number.
constexpr int8_t MasterExclusiveMode = -4;

extern const std::string TemplateLimitMsg;

// True when Number is free: TemplateFiles (TemplateFilesInFolder of the data
// folder, read once per search) does not hold it and the master file, open
// as file 1, has no record with it. Selects key 2 of file 1; Buf receives
// the record found.
bool IsTemplateNumberFree(const TTemplateNumber& Number, const TTemplateNumberSet& TemplateFiles, TDynCharArr& Buf);

// The lowest free number for a new template. Closes file 1 when open and
// opens the master file as file 1 exclusively; it stays open for the
// caller's insert, also after the limit message.
TTemplateNumber NextTemplateNumber(TDynCharArr& Buf);

// Count free numbers in ascending order, for an import; the master file
// must be open as file 1. The search goes on to one more free number below
// 999 before it answers, so Count + 1 must be free.
std::vector<TTemplateNumber> NextTemplateNumber(TDynCharArr& Buf, int Count);

// Inserts the master record of Name with Number into file 1 and returns
// the number zero-filled ("007"). Number may come in any of its forms
// ("  7", "007", "7"); it is always stored as "  7". A text that is no
// template number raises EConvertError and a name over 30 bytes
// EMasterRecordError, before anything is written; a name already taken
// comes back as the layer's EBtrAbort with status 5.
std::string InsertMasterRecord(std::string_view Number, std::string_view Name);
