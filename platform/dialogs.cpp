#include "platform/dialogs.h"

#include <cstdio>

namespace {

class FallbackDialogs : public DialogService {
public:
  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons buttons, int) override {
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
    for (TMsgDlgBtn b : {mbCancel, mbNo, mbAbort, mbOK})
      if (HasButton(buttons, b)) return ModalResultOf(b);
    return mrCancel;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

FallbackDialogs fallback;
DialogService* current = &fallback;
int showing = 0;

// Counts the boxes up while one is asked, however the asking ends.
class TShowing {
public:
  TShowing() { ++showing; }
  ~TShowing() { --showing; }
  TShowing(const TShowing&) = delete;
  TShowing& operator=(const TShowing&) = delete;
};

}  // namespace

TModalResult ModalResultOf(TMsgDlgBtn b) {
  switch (b) {
    case mbYes: return mrYes;
    case mbNo: return mrNo;
    case mbOK: return mrOk;
    case mbCancel: return mrCancel;
    case mbAbort: return mrAbort;
    case mbRetry: return mrRetry;
    case mbIgnore: return mrIgnore;
    case mbAll: return mrAll;
    case mbNoToAll: return mrNoToAll;
    case mbYesToAll: return mrYesToAll;
    case mbHelp: return mrNone;
  }
  return mrNone;
}

DialogService* SetDialogService(DialogService* service) {
  DialogService* previous = current == &fallback ? nullptr : current;
  current = service ? service : &fallback;
  return previous;
}

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) {
  TShowing up;
  return current->MessageDlg(text, type, buttons, helpCtx);
}

bool BoxShowing() { return showing > 0; }

void ShowMessage(const std::string& text) { MessageDlg(text, mtCustom, mbOKOnly, 0); }

bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  TShowing up;
  return current->InputQuery(caption, prompt, value);
}

std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue) {
  std::string value = defaultValue;
  return InputQuery(caption, prompt, value) ? value : defaultValue;
}
