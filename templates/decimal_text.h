// A number's text with a fixed count of decimals, as a numeric field keeps
// it: the designer's range edits and the save's reformatting of stored
// values both go through here, so the two never disagree.
#pragma once

#include <string>

// Text (trimmed first) given Decimals (0..2) places behind its point: the
// tail is cut, never rounded, and filled with "0" when short. With no
// decimals a text loses its point and what follows; a value below one keeps
// its zero (".5" gives "0"). A text without a point and no decimals stays
// as it is.
// REQUIRES: Text is not blank (the callers treat a blank text themselves).
std::string WithDecimals(const std::string& Text, int Decimals);
