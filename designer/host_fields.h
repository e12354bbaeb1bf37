// The family-file fields a lookup of kind L offers, by their catalogue code
// (Store.HostFldNames): which tile box holds a code, the host file it
// belongs to, and the key fields a dropdown list may start with.
#pragma once

#include <string>

namespace HostCode {
constexpr int ClientCode = 0;
constexpr int ClientName = 1;
constexpr int CaseSuffix = 22;
constexpr int CaseAltId = 23;
constexpr int CaseDescInfo = 25;  // stands for the twenty description lines
constexpr int EmpCode = 62;
constexpr int EmpName = 63;
constexpr int LastTile = 67;       // tiles 0..67
constexpr int LastClientTile = 21;
constexpr int LastCaseTile = 61;
constexpr int FirstDescLine = 80;  // "Case description line 1" .. 20 at 80..99
constexpr int DescLines = 20;
}  // namespace HostCode

// The host file of a code: 1 client, 2 case, 3 employee (AltLookupOn's
// numbering); 0 for a code of none.
int HostOfCode(int Code);
// 'A' client, 'B' case, 'E' employee; blank for none.
char HostLetterOfCode(int Code);
// The host file a lookup specification's first letter names, 0 for none.
int HostOfLetter(char Letter);

// The catalogue code whose name is Name (trimmed); -1 when no code has it.
// Empty names never match.
int HostCodeOfName(const std::string& Name);
// The catalogue name of Code, empty outside 0..99 or for an unnamed code.
std::string HostNameOfCode(int Code);

// A host's name field (1, 23, 63) gives its code field (0, 22, 62); -1 else.
int CodeFieldOfNameField(int Code);
// The host file's name field that the alternative lookup shows (1, 23, 63)
// for a code of that host; -1 for none.
int AltNameFieldOfHost(int Host);
// Codes a dropdown list may start with (0, 1, 22, 23, 62, 63).
bool IsDropdownKeyCode(int Code);
// "Case description line N" for N in 1..20.
std::string CaseDescriptionLine(int N);
