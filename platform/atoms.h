// The global atom table of the instance messages: a short text stored under
// a 16-bit number, so that a message can carry the number and its receiver
// read the text back. The table is this process's own; texts cross to other
// instances inside the message datagrams, never as atom numbers.
//
// Unlike the system's table, texts are compared byte for byte (not ignoring
// case), so every receiver reads back exactly the bytes that were added.
// Safe to call from any thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

using ATOM = uint16_t;

// A text of 1-255 bytes (any bytes, NUL included) gets an atom in
// 0xC000-0xFFFF; adding the same text again returns the same atom and counts
// one more reference. An empty or longer text, or a full table, gives 0.
ATOM GlobalAddAtom(std::string_view text);

// The text of a live atom; "" for 0 or an atom that does not exist.
std::string GlobalGetAtomName(ATOM atom);

// Drops one reference; the atom goes with its last one. 0 on success, the
// atom itself when it does not exist.
ATOM GlobalDeleteAtom(ATOM atom);
