// The dialog seam's boxes on screen: QMessageBox for MessageDlg and
// ShowMessage, QInputDialog for InputQuery and InputBox. Texts arrive as
// Windows-1252 with "\r" for a line break; only here does it become one.
#pragma once

#include "platform/dialogs.h"

#include <QString>

class QtDialogs : public DialogService {
public:
  // The box is modal and titled with the application's title. The result is
  // the pressed button's; Escape answers Cancel, else No, else the only button.
  int MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int helpCtx) override;
  // An answer Windows-1252 cannot hold is refused with a box and asked again.
  bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) override;
};

// Installs the boxes as the program's dialog service (at start-up).
// Returns the service it replaces.
DialogService* InstallQtDialogs();

// Text as a box shows it: "\r\n", a lone "\r" and a lone "\n" are each one break.
QString MessageBoxText(const std::string& text);
