// The instance-message dispatcher's operations on the real screens: the
// entry screen open over the main window, the quick-entry screen and the
// application's windows. Pieces other screens own are reached through one
// method each.
#pragma once

#include "mainwin/instance_dispatch.h"

class TEntryF;
class TMtdeskF;

class TScreenInstanceTarget : public TInstanceTarget {
public:
  explicit TScreenInstanceTarget(const TMtdeskF& Main) : main_(Main) {}

  bool EntryScreenOpen() const override;
  bool Terminating() const override;
  std::string TemplateName() const override;
  bool IsChildApp() const override;
  bool SingleTemplateMode() const override;
  bool OwnEntryRegistered() const override;
  bool HasChildButton(const std::string& Name) const override;
  bool StatusBarVisible() const override;
  bool QuickEntryExists() const override;
  bool QuickEntryVisible() const override;
  std::array<TKeyFieldRole, 3> KeyFieldRoles() const override;

  void BringToFront() override;
  void MinimizeAndRestore() override;
  void FocusEntryScreen() override;
  void MarkChildButton(const std::string& Name, bool Indeterminate) override;
  bool AddChildButton(const std::string& Name) override;
  void ClearOwnEntryRegistered() override;
  void EndChild() override;

  void ShowStatusBar() override;
  void SetStatusPanel(int I, const std::string& Text) override;
  void StopStopwatches() override;
  void ShowPauseButton() override;
  void PauseEntryStopwatch() override;
  void PauseQuickEntry() override;
  void OpenQuickEntry() override;
  void SetQuickEntryRunning(bool Running) override;
  void ShowQuickEntryButton() override;
  void ShowEntryScreen() override;
  void RestoreQuickEntry() override;
  void QuickEntryToFront() override;
  void ClearEntryScreen() override;
  void FillKeyField(TKeyFieldRole Role, const std::string& Code) override;
  void FocusSaveButton() override;

private:
  // The entry screen; the dispatcher asks EntryScreenOpen first.
  TEntryF& Entry() const;

  const TMtdeskF& main_;
};
