// The two built-in templates the family's client and matter screens open
// directly, "Client e-mail" and "Matter e-mail": their descriptors as data,
// their files, the search for two free numbers side by side, and the
// "CLCA.IDX" file that tells each workstation which numbers they have.
#pragma once

#include "templates/template_number.h"

#include <string>
#include <utility>
#include <vector>

inline const std::string ClientEmailName = "Client e-mail";
inline const std::string MatterEmailName = "Matter e-mail";

enum class TEmailTemplate { Client, Matter };

// The record texts (508 characters each) of a built-in descriptor in the
// order they go into the file: field records, then the index record.
std::vector<std::string> EmailDescriptorTexts(TEmailTemplate Which);

// "7" -> "007" for both numbers.
std::pair<std::string, std::string> PadTemplateNumbers(int ClientNo, int MatterNo);

// The lowest n for which n and n + 1 are both free (master_file.h: no master
// record, no file of either number in the data folder). The master file
// must be open as file 1; selects its key 2. False when no such pair lies
// below 999.
bool FindEmailTemplatePair(int& ClientNo);

// "CLCA.IDX" in Store.DataDir: one line per workstation, its id in the
// first two characters ("%-2s", so a one-character id is followed by a
// blank). Lines end in CR LF when written; LF alone is read as well.
std::string ClcaIndexName();
// The setup's line: "%-2s%3s%3s" of the id and both numbers.
std::string ClcaLine(const std::string& WSID, int ClientNo, int MatterNo);
// True when some line of the file begins with the id as "%-2s". False also
// when the file is missing or unreadable.
bool ClcaIndexHasWorkstation(const std::string& WSID);
// Creates the file holding Line only; never over an existing file.
bool CreateClcaIndex(const std::string& Line);
// Makes sure the file has a line for WSID: creates it with Line, or
// appends Line in place when it has none (a line another workstation
// appends meanwhile is kept); an existing line is never replaced. False on
// any failure, the file left as it was.
bool WriteClcaIndex(const std::string& WSID, const std::string& Line);
