#include "designer/qt/list_import_dialog.h"

#include "platform/qt/exception_reporter.h"
#include "platform/qt/widget_text.h"

TListImportDialog::TListImportDialog(QWidget* Parent) : QFileDialog(Parent) {
  setObjectName("OpenDialog1");
  setOption(QFileDialog::DontUseNativeDialog, true);
  setWindowTitle(WidgetText("Select list to import"));
  setNameFilter(WidgetText("Corvenstead User List Files (*.lst)"));
  setFileMode(QFileDialog::ExistingFile);
  setAcceptMode(QFileDialog::AcceptOpen);
  connect(this, &QFileDialog::currentChanged, this, [this](const QString& Path) {
    if (OnSelectionChange && !Path.isEmpty()) GuardEvent([&] { OnSelectionChange(StoredText(Path)); });
  });
  connect(this, &QFileDialog::directoryEntered, this, [this] {
    if (OnFolderChange) GuardEvent([&] { OnFolderChange(); });
  });
}

std::string TListImportDialog::ChosenFile() const {
  const QStringList files = selectedFiles();
  return files.isEmpty() ? "" : StoredText(files.front());
}

void TListImportDialog::accept() {
  const std::string file = ChosenFile();
  bool close = true;
  if (OnCanClose && !file.empty()) GuardEvent([&] { close = OnCanClose(file); });
  if (close) QFileDialog::accept();
}
