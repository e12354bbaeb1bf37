// The word processor's hand-over file, "DocInfo.Txt" in the family's data
// root, rewritten whole on every use. Windows-1252, two lines each ended by
// CR LF: line 1 the item names, line 2 their values, each line the items in
// double quotes joined by "," ("\"Name\",\"City\""). Items are written as
// they are, never escaped. The word processor's macro reads it.
#pragma once

#include <string>
#include <vector>

struct TDocItem {
  std::string Name;
  std::string Value;
};

std::string DocInfoText(const std::vector<TDocItem>& Items);

// Where it lies under DataRoot.
std::string DocInfoFileName(const std::string& DataRoot);

// The word processor and its macro switch.
inline const std::string WordProcessorProgram = "C:\\Program Files\\Microsoft Office\\Office\\WINWORD.EXE";
inline const std::string WordProcessorMacro = "/mCV1";
// A display column whose lookup found nothing.
inline const std::string DocItemNotFound = "not found";
inline const std::string WordProcessorFailureText = "You may not launch your word processor at this time.";
