// datetime-demo: the date controls in a window of their own, to try by hand.
#include "datetime/dw_intl.h"
#include "datetime/tools/datetime_demo_window.h"
#include "platform/qt/message_boxes.h"

#include <QApplication>

#include <clocale>

int main(int argc, char** argv) {
  // The program name alone: Qt neither strips nor obeys what looks like one of its options.
  static char programName[] = "datetime-demo";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : programName, nullptr};
  QApplication app(qtArgc, qtArgv);
  // Qt sets the C library's locale from the environment; numbers stay ".".
  std::setlocale(LC_NUMERIC, "C");
  InstallQtDialogs();
  InitIntl();
  int status = 0;
  {
    TDatetimeDemoF window;
    window.show();
    status = app.exec();
  }
  FinalIntl();
  return status;
}
