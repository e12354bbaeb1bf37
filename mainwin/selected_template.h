// The template selected in the main window's list, loaded for a command.
#pragma once

#include <string>

// Item's (the list's selected item as stored) tables loaded, its name and
// number kept; false when nothing is selected or its descriptor does not
// load (after its message).
bool LoadSelectedTemplate(const std::string& Item);
