#include "entry/qe_stopwatch.h"

#include "platform/date_format.h"
#include "platform/dialogs.h"
#include "platform/errors.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/family_files.h"
#include "templates/instance_messages.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int StatusCode = 10;
constexpr int StepSecs[] = {900, 360, 180, 36};
constexpr int SecondsPerHundredth = 36;
const std::string PauseCaption = "P&ause";
const std::string RestartCaption = "Rest&art";
const std::string IdleStatus = "0:00";

}  // namespace

int IncrementChoiceOf(char Digit) {
  if (Digit < '0' || Digit > '9') return 2;
  return std::clamp(Digit - '0' - 2, 1, 4);
}

int IncrementChoiceOfOptions(const std::vector<uint8_t>& SysopRecord) {
  const std::string digit = FieldText(SysopRecord, SysopFld::TimeIncrement);
  return IncrementChoiceOf(digit.empty() ? ' ' : digit[0]);
}

int IncrementStepSecs(int Choice) { return StepSecs[std::clamp(Choice, 1, 4) - 1]; }

std::string IncrementsText(int64_t N, int StepSecs) {
  const int64_t hundredths = N * StepSecs / SecondsPerHundredth;
  return Format("%d.%.2d", hundredths / 100, hundredths % 100);
}

std::string ElapsedHoursText(int64_t Secs, int Choice) {
  const int step = IncrementStepSecs(Choice);
  return IncrementsText(std::max<int64_t>(1, (Secs + step - 1) / step), step);
}

void FormatHours(std::string& S) {
  std::string text = Trim(S);
  if (text.empty() || text == "-" || text == ".") text = "0";
  double value = 0;
  if (!TryStrToFloat(text, value)) throw EConvertError("'" + text + "' is not a valid floating point value");
  // A negative that rounds to nothing would show "-0.00", which no packed
  // amount holds; -0.005 itself rounds to -0.01 and stays negative.
  if (value < 0 && value > -0.005) value = 0;
  S = Format("%3f", value);
}

QeStopwatch::QeStopwatch(TQeStopwatchView& View, TStatusSender Send) : view_(View), send_(std::move(Send)) {
  if (!send_) send_ = [](const std::string& Text) { SendHubMessage(StatusCode, Text, 0, 0); };
}

void QeStopwatch::SetIncrement(int Choice) { stepSecs_ = IncrementStepSecs(Choice); }

int64_t QeStopwatch::Increments(int64_t Secs) const { return (Secs + stepSecs_ - 1) / stepSecs_; }

void QeStopwatch::RequestResume(int64_t Seconds, bool Paused) { resume_ = {std::max<int64_t>(Seconds, 0), Paused}; }

void QeStopwatch::ScreenShown() { idleShown_ = false; }

void QeStopwatch::StartOrStop() {
  if (running_) {
    Stop();
  } else {
    Start();
  }
}

void QeStopwatch::PauseOrResume() {
  if (paused_) {
    Resume();
  } else {
    Pause();
  }
}

void QeStopwatch::Start() {
  if (running_) return;
  int64_t secs = 0;
  bool pause = false;
  if (resume_) {
    secs = resume_->first;
    pause = resume_->second;
    resume_.reset();
  } else {
    // Timing goes on from the hours typed; what is no number counts as 0.
    std::string hours = view_.HoursText();
    try {
      FormatHours(hours);
      secs = std::max<int64_t>(0, std::llround(StrToFloat(hours) * 3600));
    } catch (const EConvertError&) {
      secs = 0;
    }
  }
  counter_.Start(secs);
  shownSecs_ = secs;
  lastIncrements_ = Increments(secs);
  view_.SetTimeText(FormatElapsed(secs));
  view_.SetPauseButton(true, PauseCaption);
  view_.SetStartItem("Stop &Timer", true);
  running_ = true;
  paused_ = false;
  idleShown_ = false;
  view_.SetTimer(true, RunningIntervalMs);
  if (pause) Pause();
}

void QeStopwatch::Stop() {
  if (!running_) return;
  running_ = false;
  paused_ = false;
  view_.SetPauseButton(false, PauseCaption);
  view_.SetStartItem("Start &Timer", true);
  view_.SetTimer(true, IdleIntervalMs);
  Tick();
}

void QeStopwatch::Pause() {
  if (!running_ || paused_) return;
  paused_ = true;
  view_.SetTimer(false, RunningIntervalMs);
  view_.SetStartItem("Stop &Timer", false);
  view_.SetPauseButton(true, RestartCaption);
}

void QeStopwatch::Resume() {
  if (!running_ || !paused_) return;
  paused_ = false;
  counter_.Start(shownSecs_);
  view_.SetTimer(true, RunningIntervalMs);
  view_.SetStartItem("Stop &Timer", true);
  view_.SetPauseButton(true, PauseCaption);
}

void QeStopwatch::Tick() {
  if (!view_.IsShowing()) return;
  if (!running_) {
    view_.SetTimeText(FormatDateTime("t", ClockNow()));
    if (!idleShown_) send_(IdleStatus);
    idleShown_ = true;
    return;
  }
  if (paused_) return;
  view_.SetPauseButton(true, PauseCaption);
  bool reset = false;
  const int64_t secs = counter_.Tick(reset);
  shownSecs_ = secs;
  const std::string text = FormatElapsed(secs);
  view_.SetTimeText(text);
  send_(text);
  const int64_t n = std::max<int64_t>(1, Increments(secs));
  if (n != lastIncrements_) {
    view_.SetHoursText(IncrementsText(n, stepSecs_));
    lastIncrements_ = n;
  }
  // The count is already back at 0 while the box waits; ticks go on.
  if (reset)
    MessageDlg("Maximum elapsed time of 24 hours reached.\rTimer has been reset to 00:00:00.", mtInformation, mbOKOnly);
}
