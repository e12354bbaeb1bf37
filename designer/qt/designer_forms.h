// The designer's forms made once at start-up and reused for the whole run
// (the designer itself, the range dialog, the name dialog, the lookup form, the description-line
// chooser, the display editor), each reachable through its global while it
// lives. The other designer dialogs are made, shown and freed by their
// callers.
#pragma once

#include <memory>
#include <string>

class QWidget;
class TDescriptorF;
class TEditDispF;
class TGetDescF;
class TGetNameF;
class TLKUPF;
class TMinMaxF;

extern TDescriptorF* DescriptorF;
extern TMinMaxF* MinMaxF;
extern TGetNameF* GetNameF;
extern TLKUPF* LKUPF;
extern TGetDescF* GetDescF;
extern TEditDispF* EditDispF;

// Makes the form of that class name ("TDescriptorF", "TMinMaxF", "TGetNameF", "TLKUPF",
// "TGetDescF", "TEditDispF") and sets its global; null for another name.
// MainWindow places the lookup form. Freeing the form clears its global.
std::unique_ptr<QWidget> CreateDesignerForm(const std::string& ClassName, QWidget* MainWindow);

// Called by each of those forms as it goes.
void ForgetStartForm(const QWidget* Form);
