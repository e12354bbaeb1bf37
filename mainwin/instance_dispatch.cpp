#include "mainwin/instance_dispatch.h"

#include "platform/format.h"
#include "platform/log.h"
#include "platform/text.h"

#include <exception>

namespace {

constexpr std::string_view StopwatchZero = "0:00";
constexpr std::string_view Live = "LIVE";

bool Blank(const std::string& Code) { return Trim(Code).empty(); }

std::string FormattedCode(TKeyFieldRole Role, const std::string& Code) {
  return Format(Role == TKeyFieldRole::Employee ? "%-4s" : "%-7s", Code);
}

const std::string& CodeFor(TKeyFieldRole Role, const StatusUCodes& Codes) {
  static const std::string none;
  switch (Role) {
    case TKeyFieldRole::Client:
      return Codes.ClientCode;
    case TKeyFieldRole::Case:
      return Codes.CaseCode;
    case TKeyFieldRole::Employee:
      return Codes.EmployeeCode;
    case TKeyFieldRole::None:
      break;
  }
  return none;
}

}  // namespace

TInstanceDispatcher::TInstanceDispatcher(TInstanceTarget& Target, std::function<void(std::function<void()>)> Post)
    : target_(Target), post_(std::move(Post)) {}

void TInstanceDispatcher::Deliver(UINT Msg, uint64_t Sender, std::string_view Text) {
  if (Text.empty()) return;
  DecodedInstanceMessage m = DecodeInstanceMessage(Msg, Text);
  if (m.Kind == InstanceMessageKind::Other || m.Kind == InstanceMessageKind::GridAction) return;
  const bool ownRefill =
      Sender == uint64_t(MainWindowHandle()) && m.Kind == InstanceMessageKind::Status && m.Command == 'U';
  if (ownRefill) {
    post_([this, m] {
      queue_.push_back(m);
      if (!dispatching_) RunQueued();
    });
    return;
  }
  queue_.push_back(std::move(m));
  if (!dispatching_) RunQueued();
}

void TInstanceDispatcher::RunQueued() {
  dispatching_ = true;
  while (!queue_.empty()) {
    const DecodedInstanceMessage m = std::move(queue_.front());
    queue_.pop_front();
    try {
      Dispatch(m);
    } catch (const std::exception& e) {
      LogWarning("instance message " + std::string(1, m.Command) + " for \"" + m.Name + "\" failed: " + e.what());
    } catch (...) {
      LogWarning("instance message " + std::string(1, m.Command) + " for \"" + m.Name + "\" failed");
    }
  }
  dispatching_ = false;
}

void TInstanceDispatcher::Dispatch(const DecodedInstanceMessage& M) {
  if (!target_.EntryScreenOpen() || target_.Terminating() || M.Name == "-") return;
  if (M.Kind == InstanceMessageKind::MngrCommand) Command(M);
  if (M.Kind == InstanceMessageKind::Status) Status(M);
}

void TInstanceDispatcher::Command(const DecodedInstanceMessage& M) {
  const bool own = M.Name == target_.TemplateName();
  switch (M.Command) {
    case 'A':
      if (own) target_.BringToFront();
      break;
    case '+':
      ChildNotice(M);
      break;
    case 'I':
      if (target_.HasChildButton(M.Name)) target_.MarkChildButton(M.Name, true);
      break;
    case 'T':
      if (target_.IsChildApp())
        target_.EndChild();
      else
        target_.ClearOwnEntryRegistered();
      break;
    default:
      break;
  }
}

// A child's "I am here" (or the parent's wish to be brought up): only an
// instance that did not start children learns of new children this way,
// and a word other than "LIVE" marks the button ended, a "LIVE" clears it.
void TInstanceDispatcher::ChildNotice(const DecodedInstanceMessage& M) {
  const bool own = M.Name == target_.TemplateName();
  if (target_.OwnEntryRegistered()) {
    if (own && M.FocusLetter == 'F') {
      target_.FocusEntryScreen();
      target_.BringToFront();
    }
    return;
  }
  const bool indeterminate = M.Liveness != Live;
  if (!target_.HasChildButton(M.Name)) {
    if (own) return;
    if (!target_.AddChildButton(M.Name)) {
      LogWarning("no room for a child button for \"" + M.Name + "\": ignored");
      return;
    }
  }
  target_.MarkChildButton(M.Name, indeterminate);
}

void TInstanceDispatcher::Status(const DecodedInstanceMessage& M) {
  const bool child = target_.IsChildApp();
  switch (M.Command) {
    case 'I':
      if (target_.StatusBarVisible()) target_.SetStatusPanel(1, M.Name);
      break;
    case 'L':
      if (!child) {
        target_.OpenQuickEntry();
        if (target_.QuickEntryVisible()) target_.MinimizeAndRestore();
      } else {
        target_.SetQuickEntryRunning(true);
      }
      target_.ShowEntryScreen();
      break;
    case 'P':
      target_.PauseEntryStopwatch();
      break;
    case 'Q':
      if (target_.QuickEntryExists()) target_.PauseQuickEntry();
      break;
    case 'S':
      if (target_.QuickEntryExists() && target_.QuickEntryVisible()) {
        target_.RestoreQuickEntry();
        target_.MinimizeAndRestore();
        target_.QuickEntryToFront();
      } else if (!child) {
        target_.OpenQuickEntry();
        target_.QuickEntryToFront();
        target_.BringToFront();
      }
      break;
    case 'T':
      if (!target_.StatusBarVisible()) {
        target_.ShowStatusBar();
        break;
      }
      target_.SetStatusPanel(1, M.Name);
      if (M.Name == StopwatchZero)
        target_.StopStopwatches();
      else
        target_.ShowPauseButton();
      break;
    case 'U':
      if (child || target_.SingleTemplateMode()) Refill(M.Codes);
      break;
    case 'V':
      if (!target_.StatusBarVisible()) target_.ShowStatusBar();
      target_.SetStatusPanel(0, M.Name);
      break;
    case 'X':
      target_.SetQuickEntryRunning(false);
      target_.ShowQuickEntryButton();
      break;
    default:
      // J, K, M, N, O, R and W among them: reports for the hub alone.
      break;
  }
}

void TInstanceDispatcher::Refill(const StatusUCodes& Codes) {
  target_.ClearEntryScreen();
  for (TKeyFieldRole role : target_.KeyFieldRoles()) {
    const std::string& code = CodeFor(role, Codes);
    if (role == TKeyFieldRole::None || Blank(code)) continue;
    target_.FillKeyField(role, FormattedCode(role, code));
    target_.FocusSaveButton();
  }
  if (target_.SingleTemplateMode()) target_.BringToFront();
}
