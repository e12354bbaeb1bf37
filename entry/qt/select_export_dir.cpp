#include "entry/qt/select_export_dir.h"

#include "entry/batch_export.h"
#include "platform/qt/dir_browser_form.h"
#include "platform/qt/directory_list_box.h"

#include <QApplication>

#include <string>

void SelectExportDir() {
  SelectExportDirWith([](const std::string& Caption, const std::string& Preset, std::string& Picked) {
    TDirBrowserForm browser(QApplication::activeWindow());
    browser.SetCaption(Caption);
    if (!Preset.empty()) browser.DirectoryListBox1->SetDirectory(Preset);
    browser.exec();
    if (!browser.DirChosen) return false;
    Picked = browser.DirectoryListBox1->Directory();
    return true;
  });
}
