// The main window, TMtdeskF: the application's main form, so closing it ends
// the program. Its creation handler runs the start-up's share
// (MtdeskFormCreate) and shows the data folder and the workstation in the
// status bar's two panels.
#pragma once

#include "mainwin/mtdesk_unit.h"

#include <QMainWindow>

#include <array>

class QLabel;
class QStatusBar;

class TMtdeskF : public QMainWindow, public TMtdeskStartupHost {
public:
  explicit TMtdeskF(QWidget* parent = nullptr);

  // The creation handler; false when the start-up must end.
  bool FormCreate();
  // Fills the window before it is first shown (and again on reload).
  void FormShow() {}

  // Panel I (0 or 1) of StatusBar1, Windows-1252.
  std::string StatusPanelText(int I) const;

  void SetStatusPanels(const std::string& DataLocation, const std::string& WorkStation) override;

  QStatusBar* StatusBar1;

private:
  std::array<QLabel*, 2> statusPanels_{};
};

// The global form variable; null while no main window exists.
extern TMtdeskF* MtdeskF;
