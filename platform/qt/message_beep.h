// The warning sound. The program beeps through QApplication::beep; tests
// install a sink to count the beeps instead of hearing them.
#pragma once

#include <functional>

// `type` is the sound's kind (0 = the default one); every kind sounds the same here.
void MessageBeep(unsigned type);

using BeepSink = std::function<void(unsigned type)>;
// Installs `sink` (an empty one restores the real beep) and returns the previous one.
BeepSink SetBeepSink(BeepSink sink);
