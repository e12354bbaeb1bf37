// Answers message boxes and input questions from a script and records every
// one shown. A box the script did not expect fails the test with its text.
// Usable without a QApplication: it replaces the dialog service itself.
#pragma once

#include "platform/dialogs.h"

#include <deque>
#include <optional>
#include <string>
#include <vector>

class DialogResponder : public DialogService {
public:
  struct Shown {
    std::string text;  // message text, or the prompt of an input question
    TMsgDlgType type = mtCustom;
    TMsgDlgButtons buttons = 0;
    bool input = false;
    std::string caption;
  };

  DialogResponder();   // installs itself
  ~DialogResponder();  // restores the previous service; fails for unused answers

  // The next box, whatever its text, gets this result.
  DialogResponder& Answer(int result);
  // The next box must show exactly this text and gets this result.
  DialogResponder& Expect(const std::string& text, int result = mrOk);
  // The next input question gets this value (or is cancelled).
  DialogResponder& AnswerInput(const std::string& value, bool ok = true);

  const std::vector<Shown>& Boxes() const { return shown_; }
  std::vector<std::string> Texts() const;
  std::size_t Pending() const { return script_.size(); }

  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) override;
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;

private:
  struct Step {
    bool input = false;
    std::optional<std::string> text;
    int result = mrNone;
    std::string value;
    bool ok = true;
  };
  std::deque<Step> script_;
  std::vector<Shown> shown_;
  DialogService* previous_ = nullptr;
};

// Installed by the test mains for the whole run: any box a test did not
// script fails that test instead of waiting for a click.
void InstallStrictDialogs();
