#include "entry/entry_stopwatch.h"

#include "platform/dialogs.h"
#include "templates/instance_messages.h"
#include "templates/template_state.h"

namespace {
const std::string StoppedText = "0:00";
}

TEntryStopwatch::TEntryStopwatch(TEntryStopwatchView& View, TStatusSender Send)
    : view_(View), send_(std::move(Send)) {
  // The pause notice names the template whose screen paused.
  if (!send_)
    send_ = [](int Code, const std::string& Text) {
      SendHubMessage(Code, Code == StopwatchPauseCode ? Store.TplName : Text, 0, 0);
    };
}

void TEntryStopwatch::StartOrStop() {
  if (!started_) {
    started_ = true;
    paused_ = false;
    elapsed_ = 0;
    counter_.Start(0);
    view_.ShowStarted(true);
    view_.SetPauseCaption(EntryPauseCaption);
    view_.SetTimer(true);
    return;
  }
  Reset();
  send_(StopwatchTimeCode, StoppedText);
}

void TEntryStopwatch::Halt() { Reset(); }

void TEntryStopwatch::Reset() {
  started_ = false;
  paused_ = false;
  elapsed_ = 0;
  view_.SetTimer(false);
  view_.SetPauseCaption(EntryPauseCaption);
  view_.ShowStarted(false);
}

void TEntryStopwatch::PauseOrRestart(bool FromMainWindow) {
  if (!started_) return;
  paused_ = !paused_;
  if (paused_) {
    view_.SetTimer(false);
    view_.SetPauseCaption(EntryRestartCaption);
  } else {
    counter_.Start(elapsed_);
    view_.SetTimer(true);
    view_.SetPauseCaption(EntryPauseCaption);
  }
  if (!FromMainWindow) send_(StopwatchPauseCode, {});
}

void TEntryStopwatch::Tick() {
  if (!started_ || paused_) return;
  bool reset = false;
  elapsed_ = counter_.Tick(reset);
  send_(StopwatchTimeCode, FormatElapsed(elapsed_));
  // The count is already back at 0 while the box waits; ticks go on.
  if (reset)
    MessageDlg("Maximum elapsed time of 24 hours reached.\rTimer has been reset to 00:00:00.", mtInformation,
               mbOKOnly);
}

std::optional<std::pair<int64_t, bool>> TEntryStopwatch::HandOver() const {
  if (!started_) return std::nullopt;
  return std::pair{elapsed_, paused_};
}
