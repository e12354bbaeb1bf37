// The settings dialog, TSetupF: the seven yes/no user settings as check
// boxes in two groups, "&OK" to keep them and "E&xit" to leave them. Each
// box carries its Tag as the "tag" property (mainwin/user_flags.h); OK
// writes every box's value by its Tag and sets SettingsSaved, and the
// caller takes the boxes over into Startup only then.
#pragma once

#include <QDialog>

#include <array>

class QCheckBox;
class QGroupBox;
class QPushButton;

class TSetupF : public QDialog {
public:
  explicit TSetupF(QWidget* Parent = nullptr);

  // Runs when the dialog shows.
  void FormShow();
  // OK: writes the seven values and closes the dialog.
  void BitBtnSaveClick();

  // The box whose "tag" property is Tag; nullptr when none.
  QCheckBox* BoxOfTag(int Tag) const;

  bool SettingsSaved = false;

  QGroupBox* GroupBoxEntry = nullptr;
  QGroupBox* GroupBoxGrid = nullptr;
  QCheckBox* CBConfirmSave = nullptr;
  QCheckBox* CBAutoClear = nullptr;
  QCheckBox* CBMax = nullptr;
  QCheckBox* CBGridMax = nullptr;
  QCheckBox* CBReturnToGridAfterEdit = nullptr;
  QCheckBox* CBTabToAlts = nullptr;
  QCheckBox* CheckBoxLinks = nullptr;
  QPushButton* BitBtnSave = nullptr;
  QPushButton* BitBtn1 = nullptr;

protected:
  void showEvent(QShowEvent* Event) override;
};

// The global form variable: the dialog while SetupOptions1Click shows it.
extern TSetupF* SetupF;

// The grid view, when one exists, fitted to the screen's work area.
void FitGridViewToWorkArea();
