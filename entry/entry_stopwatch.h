// The entry screen's stopwatch: it times the work on a record, tells the
// hub its time every second (status code 10, "hh:mm:ss") and "0:00" when
// it stops, and hands its time to the quick time entry. A pause stops the
// count and a restart goes on from the seconds last counted, which the
// stopwatch keeps itself: the status panel the hub writes also shows the
// times of other instances. The count runs on the tick count
// (entry/elapsed_counter.h) and starts again from 0 at 24 hours, with a
// message.
//
// The screen (TEntryF) owns the widgets behind a view: SBTimer and
// PauseBitBtn, and the timer TimerEntry, whose tick calls Tick.
#pragma once

#include "entry/elapsed_counter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>

class TEntryStopwatchView {
public:
  virtual ~TEntryStopwatchView() = default;
  // Started: SBTimer small with the hint "Stop timer" and PauseBitBtn
  // shown; else SBTimer at full height, "Start timer", PauseBitBtn hidden.
  virtual void ShowStarted(bool Started) = 0;
  virtual void SetPauseCaption(const std::string& Caption) = 0;
  virtual void SetTimer(bool Enabled) = 0;
};

inline const std::string EntryPauseCaption = "P&ause";
inline const std::string EntryRestartCaption = "Rest&art";

class TEntryStopwatch {
public:
  // Status messages (code, text) go to the hub unless Send says otherwise.
  using TStatusSender = std::function<void(int Code, const std::string& Text)>;
  explicit TEntryStopwatch(TEntryStopwatchView& View, TStatusSender Send = {});

  // SBTimer: start while stopped; stop while running or paused.
  void StartOrStop();
  // PauseBitBtn: pause while running, restart while paused, nothing while
  // stopped. Status "Q" tells the hub, unless the main window's handler
  // asked (FromMainWindow): the request came from there.
  void PauseOrRestart(bool FromMainWindow);
  // Another instance's stopwatch stopped ("0:00" from the hub): this one
  // stops too, without telling the hub what it already knows.
  void Halt();
  // TimerEntry, every second while running.
  void Tick();

  bool Stopped() const { return !started_; }
  bool Paused() const { return paused_; }
  int64_t ElapsedSecs() const { return elapsed_; }
  // What the quick entry takes over: the seconds and whether paused;
  // nothing while stopped.
  std::optional<std::pair<int64_t, bool>> HandOver() const;

private:
  void Reset();

  TEntryStopwatchView& view_;
  TStatusSender send_;
  TElapsedCounter counter_;
  bool started_ = false;
  bool paused_ = false;
  int64_t elapsed_ = 0;
};

// Status codes of the stopwatch's messages.
constexpr int StopwatchTimeCode = 10;   // "T"
constexpr int StopwatchPauseCode = 13;  // "Q"
