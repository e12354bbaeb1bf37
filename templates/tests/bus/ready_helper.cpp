// A stand-in for a child instance, for WaitForInputIdle tests.
//   ready_helper ready   joins the bus, sends "early 1" to "early 3" on
//                        CV_Test_Wait, then shows a window: ready when idle
//   ready_helper silent  joins the bus and sends "joined" once its loop
//                        runs, but never shows a window
//   ready_helper exit    ends at once
// Either of the first two ends on SIGTERM, or after two minutes.
#include "platform/atoms.h"
#include "platform/qt/instance_bus_qt.h"
#include "platform/window_messages.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <csignal>
#include <cstdlib>
#include <string>

namespace {

void Say(const std::string& text) {
  const ATOM atom = GlobalAddAtom(text);
  SendMessage(HWND_BROADCAST, RegisterWindowMessage("CV_Test_Wait"), MainWindowHandle(), LPARAM(atom));
  GlobalDeleteAtom(atom);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "exit") return 0;
  if (mode != "ready" && mode != "silent") return 2;
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  QApplication app(argc, argv);
  std::signal(SIGTERM, [](int) { std::_Exit(0); });
  if (JoinInstanceBus() != BusJoin::Joined) return 1;
  QWidget window;
  if (mode == "ready") {
    for (int i = 1; i <= 3; ++i) Say("early " + std::to_string(i));
    window.show();
  } else {
    QTimer::singleShot(0, [] { Say("joined"); });
  }
  QTimer::singleShot(120000, &app, &QApplication::quit);
  const int status = app.exec();
  LeaveInstanceBus();
  return status;
}
