// Records every message box and answers each with Reply (OK unless set),
// for tests that count and read the boxes a run shows, whatever they are.
#pragma once

#include "platform/dialogs.h"

#include <string>
#include <vector>

class RecordedDialogs : public DialogService {
public:
  RecordedDialogs() : previous_(SetDialogService(this)) {}
  ~RecordedDialogs() override { SetDialogService(previous_); }
  RecordedDialogs(const RecordedDialogs&) = delete;
  RecordedDialogs& operator=(const RecordedDialogs&) = delete;
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons, int) override {
    Texts.push_back(text);
    Types.push_back(type);
    return Reply;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
  std::vector<std::string> Texts;
  std::vector<TMsgDlgType> Types;
  int Reply = mrOk;

private:
  DialogService* previous_;
};
