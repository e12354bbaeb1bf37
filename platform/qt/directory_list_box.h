// A folder chooser list: the folders from the root down to the current one,
// each with an open folder (the current one in bold), then the current folder's own folders (never
// files, never hidden ones) with closed folders, in three columns. A
// double-click or Enter on an entry makes it the current folder; a click
// only selects it.
#pragma once

#include <QListWidget>

#include <functional>
#include <string>
#include <vector>

class TDirectoryListBox : public QListWidget {
public:
  explicit TDirectoryListBox(QWidget* Parent = nullptr);

  // The current folder, native and without a trailing separator ("/" for
  // the root).
  const std::string& Directory() const { return directory_; }
  // Moves to an existing folder (any name the file layer resolves); false,
  // nothing changed, for anything else.
  bool SetDirectory(const std::string& Folder);
  // The entries as shown, for tests: the path's folders, then the folders in it.
  std::vector<std::string> EntryNames() const;

  // Runs after every change of the current folder.
  std::function<void()> OnChange;

protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  void Fill();
  void OpenEntry(QListWidgetItem* Item);
  void FitColumns();

  std::string directory_;
};
