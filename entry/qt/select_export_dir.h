// The export command of the quick entry screen and the batch viewer: the
// folder browser (TDirBrowserForm) asks for the export folder, shown
// modally over the active window; entry/batch_export.h does the rest.
#pragma once

void SelectExportDir();
