// For the targets that read record-manager files through the program's own
// layer: the engine library loaded once for the whole run (the layer's
// users load and unload around it without stopping it), and the files
// made from inputs through the layer's entry point.
#pragma once

#include "fuzz/stored_file.h"

#include <string>

// Loads the library from the program folder and keeps a reference for the
// whole process; aborts when it cannot be loaded, as no input could be tried.
void KeepEngineLibraryLoaded();

// A slot for the file at path, made and opened through the loaded library.
StoredFileSlot& LayerFileSlot(const std::string& path);

// The input's file for the slot: its spec, then its rows (fuzz/stored_file.h);
// false when the engine refuses the file specification or SQLite the rows.
bool TakeStoredFile(StoredFileSlot& slot, FuzzInput& in);

// A seed: the layout's spec and its records as sound rows.
struct SeedLayout;
std::string StoredSeed(const SeedLayout& layout);
