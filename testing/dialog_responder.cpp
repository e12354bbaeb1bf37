#include "testing/dialog_responder.h"

#include <gtest/gtest.h>

namespace {

std::string Printable(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\r' ? std::string("\\r") : std::string(1, c);
  return out;
}

int CautiousAnswer(TMsgDlgButtons buttons) {
  for (TMsgDlgBtn b : {mbCancel, mbNo, mbAbort, mbOK})
    if (HasButton(buttons, b)) return ModalResultOf(b);
  return mrCancel;
}

class StrictDialogs : public DialogService {
public:
  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    ADD_FAILURE() << "unexpected message box: \"" << Printable(text) << "\"";
    return CautiousAnswer(buttons);
  }
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string&) override {
    ADD_FAILURE() << "unexpected input question: " << caption << " / " << prompt;
    return false;
  }
};

}  // namespace

DialogResponder::DialogResponder() { previous_ = SetDialogService(this); }

DialogResponder::~DialogResponder() {
  SetDialogService(previous_);
  for (const Step& step : script_)
    ADD_FAILURE() << "scripted " << (step.input ? "input question" : "message box") << " never shown"
                  << (step.text ? ": \"" + Printable(*step.text) + "\"" : std::string());
}

DialogResponder& DialogResponder::Answer(int result) {
  script_.push_back(Step{false, std::nullopt, result, {}, true});
  return *this;
}

DialogResponder& DialogResponder::Expect(const std::string& text, int result) {
  script_.push_back(Step{false, text, result, {}, true});
  return *this;
}

DialogResponder& DialogResponder::AnswerInput(const std::string& value, bool ok) {
  script_.push_back(Step{true, std::nullopt, mrNone, value, ok});
  return *this;
}

std::vector<std::string> DialogResponder::Texts() const {
  std::vector<std::string> texts;
  for (const Shown& s : shown_) texts.push_back(s.text);
  return texts;
}

int DialogResponder::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  shown_.push_back(Shown{text, type, buttons, false, {}});
  if (script_.empty() || script_.front().input) {
    ADD_FAILURE() << "unexpected message box: \"" << Printable(text) << "\"";
    return CautiousAnswer(buttons);
  }
  Step step = script_.front();
  script_.pop_front();
  if (step.text && *step.text != text)
    ADD_FAILURE() << "message box text differs\n  expected: \"" << Printable(*step.text) << "\"\n  shown:    \""
                  << Printable(text) << "\"";
  return step.result;
}

bool DialogResponder::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  shown_.push_back(Shown{prompt, mtCustom, 0, true, caption});
  if (script_.empty() || !script_.front().input) {
    ADD_FAILURE() << "unexpected input question: " << caption << " / " << prompt;
    return false;
  }
  Step step = script_.front();
  script_.pop_front();
  if (step.ok) value = step.value;
  return step.ok;
}

void InstallStrictDialogs() {
  static StrictDialogs strict;
  SetDialogService(&strict);
}
