// What the main window does with the messages other instances (and the hub,
// and this instance itself) send: status reports, commands to child
// instances and grid notices, decoded by templates/instance_messages.h and
// acted on through TInstanceTarget, which the real screens implement and
// tests fake. Matching is by template name, never by sender: an instance
// obeys its own messages too.
//
// One message at a time: a message arriving while one is being acted on
// (through a box's nested loop, or sent by the operation itself) waits in a
// queue and runs, in order, once the one before has returned. An own status
// "U" always runs from a posted call: it is sent from inside an exit check,
// and its refill runs exit checks of its own.
//
// Grid notices are never acted on here: the own grid view hands its commands
// to its entry screen inside the process, and another instance's grid has
// nothing to do with this one's screen.
//
// UI thread only.
#pragma once

#include "templates/instance_messages.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>

// The fields of the entry screen a status "U" fills, in the order of index
// 1's sort fields.
enum class TKeyFieldRole { None, Client, Case, Employee };

// The entry screen, the quick-entry screen and the application as the
// dispatcher drives them. Names are trimmed Windows-1252.
class TInstanceTarget {
public:
  virtual ~TInstanceTarget() = default;

  // State read.
  virtual bool EntryScreenOpen() const = 0;
  virtual bool Terminating() const = 0;
  // The trimmed name of the template in use.
  virtual std::string TemplateName() const = 0;
  virtual bool IsChildApp() const = 0;
  virtual bool SingleTemplateMode() const = 0;
  // True in the instance that started children.
  virtual bool OwnEntryRegistered() const = 0;
  virtual bool HasChildButton(const std::string& Name) const = 0;
  virtual bool StatusBarVisible() const = 0;
  virtual bool QuickEntryExists() const = 0;
  virtual bool QuickEntryVisible() const = 0;
  // Index 1's three sort fields as the screen's key fields.
  virtual std::array<TKeyFieldRole, 3> KeyFieldRoles() const = 0;

  // Commands.
  virtual void BringToFront() = 0;
  virtual void MinimizeAndRestore() = 0;
  virtual void FocusEntryScreen() = 0;
  // Marks (or unmarks) the child button captioned Name as ended.
  virtual void MarkChildButton(const std::string& Name, bool Indeterminate) = 0;
  // A new child button; false when there is no room for another.
  virtual bool AddChildButton(const std::string& Name) = 0;
  virtual void ClearOwnEntryRegistered() = 0;
  // A child's end: its entry screen closes as a person would close it,
  // then the program ends.
  virtual void EndChild() = 0;

  // Status.
  virtual void ShowStatusBar() = 0;
  // Panel I of the entry screen's status bar, repainted.
  virtual void SetStatusPanel(int I, const std::string& Text) = 0;
  // The stopwatch time panel: at "0:00" both stopwatches stop and the pause
  // button hides; at any other time the pause button shows.
  virtual void StopStopwatches() = 0;
  virtual void ShowPauseButton() = 0;
  virtual void PauseEntryStopwatch() = 0;
  virtual void PauseQuickEntry() = 0;
  // Opens quick entry from the entry screen (QEFRequested set first).
  virtual void OpenQuickEntry() = 0;
  virtual void SetQuickEntryRunning(bool Running) = 0;
  virtual void ShowQuickEntryButton() = 0;
  virtual void ShowEntryScreen() = 0;
  virtual void RestoreQuickEntry() = 0;
  virtual void QuickEntryToFront() = 0;
  // Status "U".
  virtual void ClearEntryScreen() = 0;
  // Puts Code into the key field and gives it the focus.
  virtual void FillKeyField(TKeyFieldRole Role, const std::string& Code) = 0;
  // The focus to the save button, so the last field's exit check runs.
  virtual void FocusSaveButton() = 0;
};

class TInstanceDispatcher {
public:
  // Post runs a call from the event loop once the current event is done.
  TInstanceDispatcher(TInstanceTarget& Target, std::function<void(std::function<void()>)> Post);

  // A message as the handler got it: its id, its sender's handle, its text.
  void Deliver(UINT Msg, uint64_t Sender, std::string_view Text);
  // Steps 2-8 for one decoded message, at once (the queue aside).
  void Dispatch(const DecodedInstanceMessage& M);

  bool Dispatching() const { return dispatching_; }

private:
  void RunQueued();
  void Command(const DecodedInstanceMessage& M);
  void Status(const DecodedInstanceMessage& M);
  void ChildNotice(const DecodedInstanceMessage& M);
  void Refill(const StatusUCodes& Codes);

  TInstanceTarget& target_;
  std::function<void(std::function<void()>)> post_;
  std::deque<DecodedInstanceMessage> queue_;
  bool dispatching_ = false;
};
