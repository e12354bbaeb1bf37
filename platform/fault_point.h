// The fault point: failure, death and delay injected at one numbered file
// step, so that tests can prove that every step of a multi-file change can
// fail, or the process die, without losing data.
//
// Steps are counted, 1 first, in the order the process performs them: every
// call to the record manager through BTRCALL and BTRCALLID
// (btrieve/binding.h), and every file-changing operation of the file layer
// (platform/files.h: DeleteFile, RenameFile, CopyFile, CreateDir,
// ForceDirectories, each once, also when it is handed to the record
// manager's whole-file functions). Counting never stops; only an armed
// point acts, and only a test arms it: nothing reads the environment or the
// settings for it.
//
// At the armed step N the action is:
//   FailOnce    step N fails, the next ones run;
//   FailFromN   step N and every later step fail;
//   KillBefore  the process is killed by SIGKILL before step N runs;
//   KillAfter   step N runs, then the process is killed by SIGKILL;
//   Pause       before step N runs, the pause notifier is called, then the
//               step waits until ReleaseFaultPause (or SIGUSR1).
// A failed record-manager call never reaches the engine and answers status
// 2 (I/O error); a failed file operation answers false with errno EIO and
// changes nothing, as a refusal would.
//
// Thread-safe; the counting sites cost one atomic increment when unarmed.
#pragma once

#include <cstdint>
#include <functional>

enum class TFaultAction { FailOnce, FailFromN, KillBefore, KillAfter, Pause };

// Only tests call this. Resets the count and any earlier release; with
// Pause, SIGUSR1 releases the pause from another process until disarmed.
void ArmFaultPoint(uint64_t Step, TFaultAction Action);
// Inert again; also resets the count and gives SIGUSR1 back.
void DisarmFaultPoint();
// Steps counted since the last Arm or Disarm.
uint64_t FaultStepCount();
// Called on the pausing thread, with its step, before a Pause blocks.
// An empty function removes it.
void SetFaultPauseNotifier(std::function<void(uint64_t Step)> Notify);
// Ends a Pause. A release that comes before the pause is reached lets it
// pass at once, so none is lost. Async-signal-safe.
void ReleaseFaultPause();

// For the counting sites only.
namespace fault_detail {
enum class TStepVerdict { Perform, Fail, PerformThenKill };
// Counts one step; kills before it or pauses here when armed so.
TStepVerdict EnterStep();
[[noreturn]] void KillThisProcess();
}  // namespace fault_detail

// Runs one counted step: Perform() normally, Failed() in its place when the
// armed point fails it.
template <class Perform, class Failed>
auto FaultCountedStep(Perform&& perform, Failed&& failed) -> decltype(perform()) {
  switch (fault_detail::EnterStep()) {
    case fault_detail::TStepVerdict::Fail:
      return failed();
    case fault_detail::TStepVerdict::PerformThenKill:
      perform();
      fault_detail::KillThisProcess();
    case fault_detail::TStepVerdict::Perform:
      break;
  }
  return perform();
}
