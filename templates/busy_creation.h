// Making a file that another process may be making at the same moment:
// while the other holds the name the record manager (or the copy) answers
// "busy", and once it is done the file exists. The attempt is repeated for
// a few seconds while busy; a file that exists after a failed attempt was
// made by the other and counts as there.
#pragma once

#include "platform/clock.h"
#include "platform/files.h"

#include <string>

enum class TAttempt { Made, Busy, Failed };
enum class TMaking { Made, MadeMeanwhile, Failed };

// Busy when BtrCreateFile's message says the name is locked.
TAttempt CreationAttempt(bool Created, const std::string& Msg);

template <class F>
TMaking MakeUnlessMadeMeanwhile(const std::string& Name, F&& Attempt) {
  constexpr int BusyAttempts = 250;
  constexpr uint32_t BusyWaitMs = 20;
  for (int attempt = 1;; ++attempt) {
    const TAttempt result = Attempt();
    if (result == TAttempt::Made) return TMaking::Made;
    if (FileExists(Name)) return TMaking::MadeMeanwhile;
    if (result != TAttempt::Busy || attempt == BusyAttempts) return TMaking::Failed;
    Sleep(BusyWaitMs);
  }
}
