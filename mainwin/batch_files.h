// The workstation's batch files as start-up makes them: "TRIN<WSID>.MD" for
// the time records and "DESC<WSID>.MD" for their description lines, in the
// data folder, named after the workstation id as it stands (no padding:
// "TRIN.MD", "TRIN7.MD"). TRIN is created from its key table; DESC is a copy
// of the program folder's empty "Desc.clo".
//
// Several instances of one workstation may start at once: while another
// instance is making a file its name is busy and the attempt is repeated
// for a few seconds, and a creation or copy that fails because the other
// made the file meanwhile counts as done.
#pragma once

#include "btrieve/create_file.h"

#include <array>
#include <cstdint>
#include <string>

// TRIN: record length and key segments (positions 1-based, the 4-byte
// auto-increment prefix first). Key 1 is the link, unique; keys 2-4 allow
// duplicates and changes.
constexpr uint16_t TrinRecLen = 127;
inline constexpr std::array<TKeySpec, 10> TrinKeySpecs = {{
    {0, 0, 1, 4, false, false, true},
    {1, 0, 104, 8, false, false, false},
    {2, 0, 40, 4, true, true, false},
    {2, 1, 117, 4, true, true, false},
    {3, 0, 117, 4, true, true, false},
    {3, 1, 40, 4, true, true, false},
    {4, 0, 19, 1, true, true, false},
    {4, 1, 26, 1, true, true, false},
    {4, 2, 40, 4, true, true, false},
    {4, 3, 20, 6, true, true, false},
}};

// DESC ("Desc.clo"): record length 91, the prefix, then the link (8), the
// line letter (1) and the text (78). Its one key, key 0, is the link and the
// letter as one string segment, unique and fixed, so an entry's lines come
// back in order.
constexpr uint16_t DescRecLen = 91;
constexpr uint16_t DescLinkPos = 5;
constexpr uint16_t DescLinkLen = 8;
constexpr uint16_t DescLetterLen = 1;
constexpr uint16_t DescKeyLen = DescLinkLen + DescLetterLen;

// Longest creation message a failure text carries.
constexpr size_t CreateMsgMax = 255;

// "<DataDir>\TRIN<WSID>.MD".
std::string TrinFileName();

// Makes TRIN unless it exists. False after showing "Unable to create file
// \TRIN<WSID>.MD." with the creation message and the contact line.
bool EnsureTrinFile();
// Copies Startup.DescCloName to Startup.DescFileName unless that exists,
// never replacing a file. False after showing that no DESC file could be
// found or made.
bool EnsureDescFile();
