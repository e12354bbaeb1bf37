#include "platform/qt/message_boxes.h"

#include "platform/errors.h"
#include "platform/qt/application.h"
#include "platform/qt/widget_text.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

#include <map>

namespace {

QMessageBox::Icon IconOf(TMsgDlgType type) {
  switch (type) {
    case mtWarning: return QMessageBox::Warning;
    case mtError: return QMessageBox::Critical;
    case mtInformation: return QMessageBox::Information;
    case mtConfirmation: return QMessageBox::Question;
    case mtCustom: return QMessageBox::NoIcon;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton StandardButtonOf(TMsgDlgBtn b) {
  switch (b) {
    case mbYes: return QMessageBox::Yes;
    case mbNo: return QMessageBox::No;
    case mbOK: return QMessageBox::Ok;
    case mbCancel: return QMessageBox::Cancel;
    case mbAbort: return QMessageBox::Abort;
    case mbRetry: return QMessageBox::Retry;
    case mbIgnore: return QMessageBox::Ignore;
    case mbNoToAll: return QMessageBox::NoToAll;
    case mbYesToAll: return QMessageBox::YesToAll;
    case mbAll:
    case mbHelp: break;
  }
  return QMessageBox::NoButton;
}

constexpr TMsgDlgBtn kButtonOrder[] = {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll};

}  // namespace

QString MessageBoxText(const std::string& text) {
  QString shown = WidgetText(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return shown;
}

int QtDialogs::MessageDlg(const std::string& text, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(ApplicationTitle());
  box.setIcon(IconOf(type));
  // Plain text always: a message quoting user data must never render as markup.
  box.setTextFormat(Qt::PlainText);
  box.setText(MessageBoxText(text));

  // There is no help file, so Help is left off; a box must still close.
  if ((buttons & ~Buttons(mbHelp)) == 0) buttons = mbOKOnly;
  std::map<QAbstractButton*, TMsgDlgBtn> result;
  std::map<TMsgDlgBtn, QPushButton*> made;
  for (TMsgDlgBtn b : kButtonOrder) {
    if (!HasButton(buttons, b)) continue;
    QPushButton* button = b == mbAll ? box.addButton(QStringLiteral("&All"), QMessageBox::YesRole)
                                     : box.addButton(StandardButtonOf(b));
    result[button] = b;
    made[b] = button;
  }
  for (TMsgDlgBtn b : {mbOK, mbYes, mbRetry})
    if (made.count(b)) {
      box.setDefaultButton(made[b]);
      break;
    }
  // Otherwise Qt picks: the only button, or the one that rejects (Abort).
  if (made.count(mbCancel)) box.setEscapeButton(made[mbCancel]);
  else if (made.count(mbNo)) box.setEscapeButton(made[mbNo]);

  box.exec();
  const auto pressed = result.find(box.clickedButton());
  return pressed != result.end() ? ModalResultOf(pressed->second) : mrCancel;
}

bool QtDialogs::InputQuery(const std::string& caption, const std::string& prompt, std::string& value) {
  QString typed = WidgetText(value);
  for (;;) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(WidgetText(caption));
    dialog.setLabelText(MessageBoxText(prompt));
    dialog.setInputMode(QInputDialog::TextInput);
    dialog.setTextValue(typed);
    if (dialog.exec() != QDialog::Accepted) return false;
    typed = dialog.textValue();
    try {
      value = StoredText(typed);
      return true;
    } catch (const EConvertError& e) {
      // The typed text stays in the box for the user to mend.
      MessageDlg(e.Message, mtError, mbOKOnly, 0);
    }
  }
}

DialogService* InstallQtDialogs() {
  static QtDialogs dialogs;
  return SetDialogService(&dialogs);
}
