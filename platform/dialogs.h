// The dialog seam: message boxes and input questions as one replaceable
// service, so that libraries without widgets ask the same questions the
// screens do. The widget layer installs the real boxes at start-up; tests
// install a responder that answers from a script.
#pragma once

#include <string>

enum TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };

// A set of buttons: one bit per TMsgDlgBtn.
using TMsgDlgButtons = unsigned;
constexpr TMsgDlgButtons Buttons(TMsgDlgBtn b) { return 1u << b; }
constexpr TMsgDlgButtons operator|(TMsgDlgBtn a, TMsgDlgBtn b) { return Buttons(a) | Buttons(b); }
constexpr TMsgDlgButtons mbYesNo = mbYes | mbNo;
constexpr TMsgDlgButtons mbOKCancel = mbOK | mbCancel;
constexpr TMsgDlgButtons mbYesNoCancel = mbYesNo | Buttons(mbCancel);
constexpr TMsgDlgButtons mbYesNoAll = mbYesNo | Buttons(mbAll);
constexpr TMsgDlgButtons mbYesCancel = mbYes | mbCancel;
constexpr TMsgDlgButtons mbOKOnly = Buttons(mbOK);
inline bool HasButton(TMsgDlgButtons set, TMsgDlgBtn b) { return (set & Buttons(b)) != 0; }

// Modal results.
enum TModalResult : int {
  mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
  mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10,
};

// The result a button gives.
TModalResult ModalResultOf(TMsgDlgBtn b);

class DialogService {
public:
  virtual ~DialogService() = default;
  // Text is Windows-1252; "\r" is a line break on screen.
  virtual int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) = 0;
  // Value holds the default on entry; False when the user cancelled.
  virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
};

// Installs a service and returns the one it replaces. Null restores the
// fallback, which writes the text to standard error and gives the most
// cautious answer (Cancel, else No, else OK).
DialogService* SetDialogService(DialogService* service);

int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx = 0);
// A box or question of the service is up (its loop may run queued calls and
// timers): idle work waits until it is answered.
bool BoxShowing();
void ShowMessage(const std::string& text);
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// The default when the user cancels.
std::string InputBox(const std::string& caption, const std::string& prompt, const std::string& defaultValue);
