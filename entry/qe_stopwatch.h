// The quick entry screen's stopwatch: it times the work being recorded and
// fills the hours field in billing increments, a started increment counting
// whole; while idle its display shows the time of day. Every running tick
// reports the elapsed time to the hub (status code 10), and the display
// turning idle reports "0:00".
//
// The increments: choice 1 900 s (0.25 hours), 2 360 s (0.1), 3 180 s
// (0.05), 4 36 s (0.01).
//
// Hours follow the elapsed time E (tick count, entry/elapsed_counter.h) at
// every tick: with n = max(1, ceil(E / Step)), the hours field shows n
// increments whenever n differs from the last tick's (at the start, the n of
// the starting time), so a late tick never skips an increment and typed
// hours stand until the count passes them.
//
// The screen (TQEF) owns the widgets behind a view and wires its button
// and menu item to StartOrStop, its pause button to PauseOrResume and its
// timer to Tick.
#pragma once

#include "entry/elapsed_counter.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class TQeStopwatchView {
public:
  virtual ~TQeStopwatchView() = default;
  virtual void SetTimeText(const std::string& Text) = 0;  // EditTime
  virtual std::string HoursText() const = 0;              // EditHours
  virtual void SetHoursText(const std::string& Text) = 0;
  virtual void SetPauseButton(bool Visible, const std::string& Caption) = 0;  // PauseBitBtn
  virtual void SetStartItem(const std::string& Caption, bool Enabled) = 0;    // StartTimer1
  virtual void SetTimer(bool Enabled, int IntervalMs) = 0;                     // Timer1
  virtual bool IsShowing() const = 0;  // visible, minimized too
};

// Choice 1..4 from the system options digit: the digit minus 2, held to
// 1..4; 2 when it is no digit.
int IncrementChoiceOf(char Digit);
// The choice the system options record (Sysop.qc, as read) gives.
int IncrementChoiceOfOptions(const std::vector<uint8_t>& SysopRecord);
// Seconds of choice 1..4.
int IncrementStepSecs(int Choice);
// N increments of StepSecs as hours ("0.20"); the hours Secs of timing
// give under choice Choice, a started increment counting whole.
std::string IncrementsText(int64_t N, int StepSecs);
std::string ElapsedHoursText(int64_t Secs, int Choice);
// Trimmed S; "", "-" or "." as 0; then its value with two decimals ("5"
// gives "5.00", -0.004 "0.00"). Raises EConvertError when S is no number.
void FormatHours(std::string& S);

constexpr int RunningIntervalMs = 1000;
constexpr int IdleIntervalMs = 10000;

class QeStopwatch {
public:
  using TStatusSender = std::function<void(const std::string& Text)>;
  // Status texts go to the hub unless Send says otherwise.
  explicit QeStopwatch(TQeStopwatchView& View, TStatusSender Send = {});

  void SetIncrement(int Choice);
  // Start while stopped, Stop while running.
  void StartOrStop();
  // Counting from the hours typed (what is no number counts as 0), or from
  // a resume request.
  void Start();
  // Back to the clock at once; the idle timer runs again.
  void Stop();
  // Pause while running, Resume while paused; nothing while stopped.
  void PauseOrResume();
  void Pause();
  // Counting on from the time shown at the pause.
  void Resume();
  // The timer's tick: only while the screen shows (minimized too).
  void Tick();
  // The screen was shown: its first idle tick reports "0:00" again.
  void ScreenShown();
  // The next start continues from Seconds instead of the hours field, and
  // pauses at once when Paused.
  void RequestResume(int64_t Seconds, bool Paused);

  bool Running() const { return running_; }
  bool Paused() const { return paused_; }

private:
  int64_t Increments(int64_t Secs) const;

  TQeStopwatchView& view_;
  TStatusSender send_;
  TElapsedCounter counter_;
  int stepSecs_ = 900;
  bool running_ = false;
  bool paused_ = false;
  bool idleShown_ = false;  // the display shows the clock and "0:00" went out
  int64_t shownSecs_ = 0;
  int64_t lastIncrements_ = 0;
  std::optional<std::pair<int64_t, bool>> resume_;
};
