// The registry: HKEY_LOCAL_MACHINE as one text file (layout and shape in
// registry_file.h), shared by every process of the user.
//
// Where: $MATTERDESK_REGISTRY when set, else
// $XDG_CONFIG_HOME/corvenstead/registry.ini when that is an absolute path,
// else $HOME/.config/corvenstead/registry.ini, the home folder taken from
// the user database when HOME is unset. An empty or relative HOME names no
// file: every call that needs the registry raises ERegistryException naming
// the file and the reason. No file is an empty registry; the first write
// creates it, its folder 0700 and the file 0600.
//
// Reads see the last complete file, cached by the file's identity and
// modification time, so an unchanged file costs one stat per call. Only a
// regular file of at most 16 MiB is read (a FIFO, a device or a folder in
// its place is refused, never waited on or read without end).
// Each change locks the sidecar "<file>.lock", reads the file afresh, applies
// itself, writes "<file>.tmp", syncs it and renames it over the file, so
// changes from several processes all land, and a writer killed at any point
// leaves the old or the new file. A registry file that is a symbolic link
// stays one: the change goes to the file it leads to, with the lock and the
// temporary file beside that, and keeps its permissions. A damaged file is
// never replaced: reads and writes raise ERegistryException naming file and
// line until a person mends it.
#pragma once

#include "platform/registry_file.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// The largest registry file that is read.
constexpr size_t RegistryFileMaxBytes = size_t(16) << 20;

// Where the registry file is, from the environment at the time of the call:
// its name, or the message that says why none can be named.
struct TRegistryPlace {
  std::string File;     // "" when refused
  std::string Refusal;  // "" when File names the file
};
TRegistryPlace RegistryPlace();
// RegistryPlace().File.
std::string RegistryFileName();

// Reads the registry file now. Raises ERegistryException with the one
// message that says why it cannot be used: no file can be named, it is not
// a regular file, it is too large or unreadable, or it is damaged (file and
// line).
void CheckRegistryFile();

// One view on the registry with a current key. Paths are backslash paths;
// a leading "\" makes one absolute, any other is relative to the current key
// (to the root when none is open). Names compare without case.
//
// Raising and answering: a registry file that cannot be named, read or used
// (see CheckRegistryFile) raises ERegistryException from every call that
// needs its contents; otherwise OpenKey, KeyExists, DeleteKey and
// DeleteValue answer false for a key or value that is absent or a path that
// is not valid (empty names, control characters). Writes raise ERegistryException when they fail, when
// the key was opened read-only, when no key is open, and when the current
// key has been deleted since it was opened.
class TRegistry {
public:
  // The root key, no key open; the file is the one RegistryPlace names now.
  TRegistry();

  // Opens a key, creating it and any missing parent when CanCreate. False
  // when absent (and not to be created), when the path is not valid or when
  // creating it fails; the current key is then unchanged.
  bool OpenKey(const std::string& key, bool CanCreate);
  // Opens an existing key for reading only.
  bool OpenKeyReadOnly(const std::string& key);
  void CloseKey();
  // The open key's path without a leading "\" as it was asked for; "" when
  // none is open.
  const std::string& CurrentPath() const { return currentPath_; }

  bool KeyExists(const std::string& key);
  bool ValueExists(const std::string& name);
  // rdUnknown for an absent value.
  TRegDataType GetDataType(const std::string& name);

  // An absent value reads as "", 0 or no bytes; a value of another type
  // raises ERegistryException rather than being converted. Writing keeps an
  // existing value's place and spelling and may change its type.
  std::string ReadString(const std::string& name);
  void WriteString(const std::string& name, const std::string& value);
  int ReadInteger(const std::string& name);
  void WriteInteger(const std::string& name, int value);
  std::string ReadBinaryData(const std::string& name);
  void WriteBinaryData(const std::string& name, const std::string& data);

  // Subkeys of the current key sorted without case; values in their order.
  std::vector<std::string> GetKeyNames();
  std::vector<std::string> GetValueNames();

  // Deletes a key with all its subkeys. The root cannot be deleted.
  bool DeleteKey(const std::string& key);
  bool DeleteValue(const std::string& name);

private:
  bool Open(const std::string& key, bool canCreate, bool readOnly);
  // The full path of a key argument, or false when it is not valid.
  bool Resolve(const std::string& key, std::string& path) const;
  // A copy of a value of the current key; nullopt when absent.
  std::optional<RegValue> Lookup(const std::string& name);
  // A value that must have the given type; nullopt when absent.
  std::optional<RegValue> ReadValue(const std::string& name, TRegDataType type);
  void RequireWritable() const;
  void WriteValue(const RegValue& value);
  // The file, or the place's refusal raised.
  const std::string& File() const;

  TRegistryPlace place_;
  std::string currentPath_;
  bool readOnly_ = false;
};

namespace registry_detail {
// Called by a writer between syncing the temporary file and renaming it
// over the registry file, so a test can stop or kill a writer there.
extern void (*BeforeReplace)();
}  // namespace registry_detail
