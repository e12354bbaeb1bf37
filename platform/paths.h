// File names as the program stores and builds them: Windows-style text with
// "\" (or "/") between folders and an optional drive "C:" in front. These
// routines only cut and join text; they never touch the disk (files.h does).
// Both separators count everywhere; "\" is the form the program writes.
#pragma once

#include <string>

// "\" or "/".
bool IsPathSeparator(char c);

// True when the text begins with a drive such as "C:" (an ASCII letter and ':').
bool HasDrivePrefix(const std::string& name);

// Up to and including the last separator or ':' ("" when there is none).
std::string ExtractFilePath(const std::string& name);

// What follows the last separator or ':'.
std::string ExtractFileName(const std::string& name);

// From the last '.' of the file name, the dot included; "" when the file
// name has no dot.
std::string ExtractFileExt(const std::string& name);

// The name with its extension replaced by ext (ext brings its own dot);
// a name without an extension gets ext appended.
std::string ChangeFileExt(const std::string& name, const std::string& ext);

// Adds "\" unless the text already ends with a separator ("" becomes "\").
std::string IncludeTrailingBackslash(const std::string& name);

// Removes one trailing separator, if any.
std::string ExcludeTrailingBackslash(const std::string& name);

// How a stored path or a message that holds one appears on screen: every "\"
// becomes "/", and a leading drive "C:" is dropped. Only the screen layer
// calls this; stored text keeps its "\".
std::string DisplayPath(const std::string& text);
