// A start of the program for tests that need real processes, chosen by
// MTDESK_PROBE:
//   params  prints ParamCount, then each ParamStr(1..) as hex bytes, and the
//           application's layout direction ("ltr" or "rtl"), one per line
//   start   runs the main block as the program does; the loop ends at once
//           once the main window is shown; exit status as the program's
//   modal   the same, but every message box is a real modal window that
//           stays up until the process is ended: "box <first line>" on
//           standard output as it opens, "loop" once the loop is reached
// Otherwise messages go to standard error and are answered OK, so nothing
// waits.
#include "mainwin/main_block.h"
#include "platform/command_line.h"
#include "platform/dialogs.h"
#include "platform/text.h"

#include <QApplication>
#include <QDialog>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Hex(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) out += IntToHex(c, 2);
  return out;
}

int PrintParams(StartupContext& context) {
  std::string error;
  if (!SetCommandLine(context.Params, error)) return 2;
  std::printf("%d\n", ParamCount());
  for (int i = 1; i <= ParamCount(); ++i) std::printf("%s\n", Hex(ParamStr(i)).c_str());
  std::printf("%s\n", QApplication::layoutDirection() == Qt::RightToLeft ? "rtl" : "ltr");
  return 0;
}

// A message box as a modal window of its own, left open.
class ModalBoxes : public DialogService {
public:
  int MessageDlg(const std::string& text, TMsgDlgType, TMsgDlgButtons, int) override {
    std::printf("box %s\n", text.substr(0, text.find('\r')).c_str());
    std::fflush(stdout);
    QDialog box;
    box.setWindowTitle(QString::fromLatin1(text.c_str()));
    box.exec();
    return mrOk;
  }
  bool InputQuery(const std::string&, const std::string&, std::string&) override { return false; }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const char* mode = std::getenv("MTDESK_PROBE");
  const std::string probe = mode ? mode : "";
  return RunWithApplication(argc, argv, [&](StartupContext& context) {
    if (probe == "params") return PrintParams(context);
    ModalBoxes boxes;
    if (probe == "modal") {
      SetDialogService(&boxes);
    } else if (probe != "start") {
      return 2;
    }
    context.EventLoop = [] {
      std::printf("loop\n");
      std::fflush(stdout);
      return 0;
    };
    return MainBlock(context);
  });
}
