// dir-browser-demo [caption [folder]]: the folder browser on its own, to try
// by hand. Prints the chosen folder after OK, nothing after Cancel.
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"
#include "platform/qt/message_boxes.h"
#include "platform/qt/volumes_qt.h"

#include <QApplication>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
  static char programName[] = "dir-browser-demo";
  int qtArgc = 1;
  char* qtArgv[] = {argc > 0 && argv[0] ? argv[0] : programName, nullptr};
  QApplication app(qtArgc, qtArgv);
  InstallQtDialogs();
  InstallQtVolumes();
  TDirBrowserForm form;
  form.SetCaption(argc > 1 ? argv[1] : "Select the folder to which you wish to export your template:");
  if (argc > 2) form.DirectoryListBox1->SetDirectory(argv[2]);
  form.exec();
  if (form.DirChosen) std::printf("%s\n", form.DirectoryListBox1->Directory().c_str());
  return form.DirChosen ? 0 : 1;
}
