// The open dialog of a user-list import: Qt's own (not the desktop's) file
// dialog, so that its moments reach the lookup form: a file chosen, a
// folder entered, and the closing on a file, which the form may refuse.
#pragma once

#include <QFileDialog>

#include <functional>
#include <string>

class TListImportDialog : public QFileDialog {
public:
  explicit TListImportDialog(QWidget* Parent = nullptr);

  // Native paths, Windows-1252.
  std::function<void(const std::string& Path)> OnSelectionChange;
  std::function<void()> OnFolderChange;
  // False keeps the dialog open.
  std::function<bool(const std::string& Path)> OnCanClose;

  // The file the dialog closes on, native, Windows-1252 ("" none).
  std::string ChosenFile() const;

  void accept() override;
};
