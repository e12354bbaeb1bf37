// The texts of the record manager's statuses, compiled in. Callers put them
// under their own message ("Btrieve status 12." and the text on the next
// line) and into the engine exceptions.
#pragma once

#include <string>

// One sentence without a final period; "" for 0 and for a status without a
// text (the Scalable SQL statuses -125 to -101 included).
std::string BtrieveStatusText(int Status);
