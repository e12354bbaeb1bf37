#include "platform/fault_point.h"

#include <signal.h>
#include <time.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <utility>

namespace {

// 0 while unarmed: steps are counted from 1.
std::atomic<uint64_t> armedStep{0};
std::atomic<TFaultAction> armedAction{TFaultAction::FailOnce};
std::atomic<uint64_t> stepCount{0};
// Lock-free, so the signal handler may set it.
std::atomic<bool> released{false};
static_assert(std::atomic<bool>::is_always_lock_free);

std::mutex& NotifierLock() {
  static auto* lock = new std::mutex;
  return *lock;
}
std::function<void(uint64_t)>& Notifier() {
  static auto* notify = new std::function<void(uint64_t)>;
  return *notify;
}

struct sigaction savedUsr1;
bool usr1Taken = false;

void OnUsr1(int) { ReleaseFaultPause(); }

void TakeUsr1() {
  if (usr1Taken) return;
  struct sigaction action {};
  action.sa_handler = OnUsr1;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  usr1Taken = sigaction(SIGUSR1, &action, &savedUsr1) == 0;
}

void GiveUsr1Back() {
  if (!usr1Taken) return;
  sigaction(SIGUSR1, &savedUsr1, nullptr);
  usr1Taken = false;
}

void Pause(uint64_t step) {
  std::function<void(uint64_t)> notify;
  {
    std::lock_guard guard(NotifierLock());
    notify = Notifier();
  }
  if (notify) notify(step);
  // Polled rather than waited on: a signal handler can only set a flag.
  const timespec tick{0, 1000000};
  while (!released.load()) nanosleep(&tick, nullptr);
}

}  // namespace

void ArmFaultPoint(uint64_t Step, TFaultAction Action) {
  armedStep.store(0);
  stepCount.store(0);
  released.store(false);
  if (Action == TFaultAction::Pause)
    TakeUsr1();
  else
    GiveUsr1Back();
  armedAction.store(Action);
  armedStep.store(Step);
}

void DisarmFaultPoint() {
  armedStep.store(0);
  stepCount.store(0);
  // A step paused at this moment goes on.
  released.store(true);
  GiveUsr1Back();
}

uint64_t FaultStepCount() { return stepCount.load(); }

void SetFaultPauseNotifier(std::function<void(uint64_t Step)> Notify) {
  std::lock_guard guard(NotifierLock());
  Notifier() = std::move(Notify);
}

void ReleaseFaultPause() { released.store(true); }

namespace fault_detail {

TStepVerdict EnterStep() {
  const uint64_t step = stepCount.fetch_add(1) + 1;
  const uint64_t armed = armedStep.load();
  if (armed == 0 || step < armed) return TStepVerdict::Perform;
  const TFaultAction action = armedAction.load();
  if (action == TFaultAction::FailFromN) return TStepVerdict::Fail;
  if (step != armed) return TStepVerdict::Perform;
  switch (action) {
    case TFaultAction::FailOnce:
      return TStepVerdict::Fail;
    case TFaultAction::KillBefore:
      KillThisProcess();
    case TFaultAction::KillAfter:
      return TStepVerdict::PerformThenKill;
    case TFaultAction::Pause:
      Pause(step);
      break;
    case TFaultAction::FailFromN:
      break;
  }
  return TStepVerdict::Perform;
}

void KillThisProcess() {
  kill(getpid(), SIGKILL);
  // SIGKILL cannot be caught; the process never gets here.
  for (;;) pause();
}

}  // namespace fault_detail
