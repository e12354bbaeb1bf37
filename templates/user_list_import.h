// Bringing a list file from another folder into the data folder's lists:
// the lookup form's import of a file the user picked, and the template
// import's of the lists its templates name.
#pragma once

#include <optional>
#include <string>

struct TImportedList {
  int Number = -1;   // the number it was given here
  std::string Name;  // the name it was catalogued under

  bool operator==(const TImportedList&) const = default;
};

// Imports Folder + "\" + FileName. Its name comes from its first header
// ("Unnamed" without one); a name found anywhere in the catalogue's names
// is replaced by the first free of its first 19 characters + "2".."9", then
// "***", "###", "~~~", "@@@", then "*@~%*^", which the header takes (or a
// header is appended). The list gets the first free number above the
// highest catalogued one, its file written and its record ("%8s") inserted
// through the catalogue opened exclusively. For a template import FileName
// must be a list's file name (ListFileNumber), never with a folder part.
// Nothing when it failed, after the message.
std::optional<TImportedList> ImportUserList(const std::string& Folder, const std::string& FileName,
                                            bool ForTemplateImport);
