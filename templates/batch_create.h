// A new, empty TRIN file from its key table (templates/batch_codec.h), as
// start-up makes one and as a cut-short export or erase does when its clone
// is gone.
#pragma once

#include <cstddef>
#include <string>

// Longest creation message a failure text carries.
constexpr size_t CreateMsgMax = 255;

// Creates Name, never replacing a file. False with the reason in Msg (cut
// to MaxLen bytes).
bool CreateTrinFile(const std::string& Name, std::string& Msg, size_t MaxLen);
