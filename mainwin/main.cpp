// mtdesk: the program.
#include "mainwin/main_block.h"
#include "platform/qt/busy_cursor_qt.h"
#include "platform/qt/clipboard_qt.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/printers_qt.h"
#include "platform/qt/volumes_qt.h"

int main(int argc, char** argv) {
  return RunWithApplication(argc, argv, [](StartupContext& context) {
    InstallQtDialogs();
    InstallQtBusyCursor();
    InstallQtPrinters();
    InstallQtVolumes();
    UseQtClipboard();
    return MainBlock(context);
  });
}
