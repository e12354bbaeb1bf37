// Answers every message box OK and keeps its text, whatever it says: for
// sweeps whose steps fail in places each with a message of its own, where a
// script of expected texts cannot be written ahead.
#pragma once

#include "platform/dialogs.h"

#include <string>
#include <vector>

class TBoxRecorder : public DialogService {
public:
  TBoxRecorder() : previous_(SetDialogService(this)) {}
  ~TBoxRecorder() override { SetDialogService(previous_); }
  TBoxRecorder(const TBoxRecorder&) = delete;
  TBoxRecorder& operator=(const TBoxRecorder&) = delete;

  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons, int) override {
    Texts.push_back(text);
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  std::vector<std::string> Texts;

private:
  DialogService* previous_;
};
