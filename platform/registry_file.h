// The registry's contents and the text file that holds them.
//
// Shape: keys under the one root HKEY_LOCAL_MACHINE, named by backslash paths
// ("Software\Ondral\Corvenstead\Host", no leading backslash here; "" is the
// root). Key and value names compare without case (the Windows-1252
// upper-case rule, never the locale) and keep the spelling they were created
// with. A key lists its subkeys sorted without case and its values in the
// order they were first written; overwriting a value keeps its place and its
// first spelling. The root holds subkeys only.
//
// File layout (UTF-8 text; names and values are Windows-1252 in memory):
//
//   [HKEY_LOCAL_MACHINE\Software\Ondral]
//   "Name"="text"
//   "Count"=dword:0000002a
//   "Blob"=hex:01,ff
//
// - One section per key, every key including those without values, in
//   sorted order (a key before its subkeys); a blank line between sections.
// - One line per value, `"Name"=` then the data: a quoted text, "dword:"
//   and 8 hex digits (1 to 8 when read) of the 32-bit pattern, or "hex:"
//   and comma-separated byte pairs ("hex:" alone is an empty value).
// - In quoted names and texts "\\" is a backslash, "\"" a quote, "\r", "\n"
//   and "\t" carriage return, line feed and tab, and "\xHH" the byte HH;
//   the other control bytes and 0x7F, and the bytes Windows-1252 leaves
//   unassigned (0x81, 0x8D, 0x8F, 0x90, 0x9D), are written as "\xHH".
// - Hex digits are written in lower case and read in either.
// - Reading is lenient with what a person might type: blank lines, lines
//   starting with ";" (comments, not kept when the file is rewritten),
//   blanks around "=" and at either end of a line, CR LF line ends. A key
//   named only in a subkey's header exists.
// - A file that does not follow this is damaged: a line that is neither, a
//   value before the first section or directly under the root, a root other
//   than HKEY_LOCAL_MACHINE, an empty key name, a key or a value given
//   twice, a character Windows-1252 cannot hold. ParseRegistryText raises
//   ERegistryException naming the file and the line.
#pragma once

#include "platform/errors.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ERegistryException : public Exception {
public:
  using Exception::Exception;
};

enum TRegDataType { rdUnknown, rdString, rdInteger, rdBinary };

struct RegValue {
  std::string Name;             // the spelling it was first written with
  TRegDataType Type = rdString;
  std::string Data;             // rdString and rdBinary
  int32_t Integer = 0;          // rdInteger
};

struct RegKey {
  std::string Path;             // full path, each component as first created
  std::vector<RegValue> Values; // in the order first written

  const RegValue* FindValue(std::string_view name) const;
  // Writes a value: a new name goes last, an existing one keeps its place
  // and spelling. False when the value was already exactly this.
  bool SetValue(const RegValue& value);
  bool DeleteValue(std::string_view name);
};

// Splits a key path into its names. False for an empty component (also a
// leading, trailing or doubled "\") or a control byte in a name; "" is the
// root and gives no names.
bool SplitKeyPath(std::string_view path, std::vector<std::string>& names);

class RegDocument {
public:
  RegDocument();

  // The key of a valid path, or nullptr.
  const RegKey* FindKey(std::string_view path) const;
  RegKey* FindKey(std::string_view path);
  // Opens or creates a valid path and any missing parent; the new names
  // keep the spelling given, the existing ones theirs.
  RegKey& CreateKey(std::string_view path);
  // Removes a key with all its subkeys; false when absent. The root stays.
  bool DeleteKey(std::string_view path);
  // The names of the direct subkeys, sorted without case.
  std::vector<std::string> SubkeyNames(std::string_view path) const;

  // Every key, a key before its subkeys, sorted without case.
  std::vector<const RegKey*> Keys() const;

private:
  // Keyed by the upper-case path with "\x01" between names, which sorts
  // below every byte a name may hold, so the order is the order of the
  // names component by component.
  std::map<std::string, RegKey> keys_;
};

std::string FormatRegistryText(const RegDocument& doc);
// fileName only names the file in a damage message.
RegDocument ParseRegistryText(const std::string& utf8, const std::string& fileName);

// The data of one value as its line holds it after "=": "\"text\"",
// "dword:0000002a", "hex:01,ff".
std::string FormatRegData(const RegValue& value);
// A quoted, escaped name or text.
std::string QuoteRegText(std::string_view text);
// The reverse of FormatRegData for one data text; false when it is none.
bool ParseRegData(std::string_view text, RegValue& value);
