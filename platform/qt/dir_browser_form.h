// TDirBrowserForm: the modal dialog in which the user picks a folder, the
// target of a template, batch or user-list export. The caller creates it,
// sets the caption to its own prompt, may preset the folder, shows it
// modally, then reads DirChosen and DirectoryListBox1->Directory().
//
// DriveComboBox1 lists the mounted volumes (platform/volumes.h) and follows
// the folder's volume; choosing a volume moves the folder to its root, and a
// volume that cannot be read now is refused with a message, the box going
// back to the folder's volume. Label1 shows the current folder. Only the
// browse mode is part of this system; every caller's prompt selects it.
#pragma once

#include "platform/volumes.h"

#include <QDialog>

#include <string>
#include <vector>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class TDirectoryListBox;

class TDirBrowserForm : public QDialog {
public:
  explicit TDirBrowserForm(QWidget* Parent = nullptr);

  // The prompt, Windows-1252, shown as the window title.
  void SetCaption(const std::string& Caption);
  std::string Caption() const;

  // True once the dialog closed with OK; kept until the next showing ends.
  bool DirChosen = false;
  // Set by FormShow from the caption.
  bool BrowseMode = false;

  // Handlers.
  void FormShow();
  void FormActivate();
  void DriveComboBox1Change();
  void DriveComboBox1Exit();
  void DriveComboBox1Click();
  void BitBtn1Click();
  void CancelBitBtnClick();

  // Escape and the window's close end as Cancel does.
  void reject() override;

  // The volumes DriveComboBox1 lists, in its order.
  const std::vector<TVolume>& Volumes() const { return volumes_; }
  // The volume of DriveComboBox1's current entry.
  TVolume ChosenVolume() const;

  QComboBox* DriveComboBox1 = nullptr;
  TDirectoryListBox* DirectoryListBox1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* BitBtn1 = nullptr;
  QPushButton* CancelBitBtn = nullptr;
  QFrame* Shape2 = nullptr;
  QFrame* Shape3 = nullptr;

protected:
  void showEvent(QShowEvent* Event) override;
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  void LoadVolumes();
  void FolderChanged();
  // Puts the drive box on the folder's volume.
  void ShowFolderVolume();
  bool VolumeReadable(const TVolume& Volume) const;

  std::vector<TVolume> volumes_;
};

// The message for a volume that cannot be read.
inline const std::string DriveNotReadyMsg = "The Drive you selected cannot be accessed at this time.";

// The prompts that select the browse mode: one whole caption and two
// openings compared over their 26 characters.
bool IsBrowseCaption(const std::string& Caption);
