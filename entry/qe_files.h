// The quick entry screen's family files and their buffers: client 21, case
// 22, employee 23, the code table twice (26 with key 5 for the list, 27 for
// grouping and narrative checks), all read only. Layouts and key texts are
// templates/family_files.h.
#pragma once

#include "btrieve/numbered_files.h"

#include <cstdint>
#include <string>

constexpr uint8_t QClientFileNo = 21;
constexpr uint8_t QCaseFileNo = 22;
constexpr uint8_t QEmpFileNo = 23;
constexpr uint8_t QGroupFileNo = 26;
constexpr uint8_t QNarrFileNo = 27;

extern TDynCharArr QClientRec;
extern TDynCharArr QCaseRec;
extern TDynCharArr QEmpRec;
extern TDynCharArr QGroupRec;
extern TDynCharArr QNarrRec;

// The screen's running state shared with the entry screen and the main
// window: QEFRunning while it shows, QEFRequested while the entry screen
// asked for it.
extern bool QEFRunning;
extern bool QEFRequested;

// All of the above back to empty and false (tests).
void ResetQuickEntryState();

// Opens 21, 22, 23 and 26 (then key 5 on 26) where not open. "" when all
// are open; else the opener's text, with the files this call opened closed
// again.
std::string OpenQuickEntryFiles();
// Opens 27 the same way.
std::string OpenNarrativeFile();
// Closes 21, 22, 23, 26 and 27 where open.
void CloseQuickEntryFiles();

// Fixed-width key texts: S blank-padded or cut to N, left ("%-Ns") or
// right-justified ("%Ns", keeping the last N bytes when longer).
std::string LeftJustified(std::string_view S, size_t N);
std::string RightJustified(std::string_view S, size_t N);
