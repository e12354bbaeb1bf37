// The export command of the quick entry screen and the batch viewer: the
// folder browser asks for the export folder (entry/batch_export.h does the
// rest).
#pragma once

void SelectExportDir();
