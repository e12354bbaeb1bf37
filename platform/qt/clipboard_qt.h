// The system clipboard behind platform/clipboard.h. Needs a QGuiApplication.
#pragma once

// Installs it for the rest of the process.
void UseQtClipboard();
