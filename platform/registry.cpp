#include "platform/registry.h"

#include "platform/format.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>

void (*registry_detail::BeforeReplace)() = nullptr;

namespace {

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

std::string HomeFolder() {
  std::string home = Environment("HOME");
  if (!home.empty()) return home;
  passwd entry;
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(getuid(), &entry, buffer, sizeof buffer, &found) == 0 && found) home = found->pw_dir;
  return home;
}

std::string FolderOf(const std::string& path) { return std::filesystem::path(path).parent_path().string(); }

// Raises with the reason errno holds.
[[noreturn]] void Fail(const char* what, const std::string& name) {
  throw ERegistryException(Format("%s %s: %s.", what, name, std::system_category().message(errno)));
}

class FileDescriptor {
public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }
  // Closes now, so a failure to write back is seen; false with errno set.
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return close(fd) == 0;
  }

private:
  int fd_;
};

// What tells one state of the file from another. Every write gives the file
// a new inode and a modification time later than the one it replaces, so a
// cached read is never taken for a newer file.
struct FileIdentity {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  int64_t mtimeNs = 0;
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st) {
  return {true, st.st_dev, st.st_ino, st.st_size, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The file's contents now; no file (or no folder) is an empty registry.
RegDocument ReadDocument(const std::string& file, FileIdentity& identity) {
  identity = {};
  FileDescriptor fd(open(file.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return RegDocument();
    Fail("Cannot read the registry file", file);
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) Fail("Cannot read the registry file", file);
  std::string bytes;
  char buffer[65536];
  while (true) {
    const ssize_t got = read(fd.get(), buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      Fail("Cannot read the registry file", file);
    }
    bytes.append(buffer, static_cast<size_t>(got));
  }
  RegDocument doc = ParseRegistryText(bytes, file);
  identity = IdentityOf(st);
  return doc;
}

struct CachedDocument {
  FileIdentity identity;
  std::shared_ptr<const RegDocument> doc;
};

std::mutex cacheMutex;
std::map<std::string, CachedDocument> cache;

void Remember(const std::string& file, const FileIdentity& identity, std::shared_ptr<const RegDocument> doc) {
  std::lock_guard lock(cacheMutex);
  cache[file] = {identity, std::move(doc)};
}

// The last complete state of the file, read again only when it changed.
std::shared_ptr<const RegDocument> Snapshot(const std::string& file) {
  FileIdentity now;
  struct stat st;
  if (stat(file.c_str(), &st) == 0) {
    now = IdentityOf(st);
  } else if (errno != ENOENT) {
    Fail("Cannot read the registry file", file);
  }
  {
    std::lock_guard lock(cacheMutex);
    const auto found = cache.find(file);
    if (found != cache.end() && found->second.identity == now) return found->second.doc;
  }
  FileIdentity identity;
  auto doc = std::make_shared<const RegDocument>(ReadDocument(file, identity));
  Remember(file, identity, doc);
  return doc;
}

void MakePrivateFolders(const std::string& folder) {
  if (folder.empty() || mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) return;
  if (errno != ENOENT) Fail("Cannot create the registry folder", folder);
  MakePrivateFolders(FolderOf(folder));
  if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) Fail("Cannot create the registry folder", folder);
}

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t put = write(fd, bytes.data() + done, bytes.size() - done);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    done += static_cast<size_t>(put);
  }
  return true;
}

// Now, or just after the replaced file's time when a clock step or a quick
// second write would not move it on.
bool StampAfter(int fd, const FileIdentity& old) {
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  int64_t ns = int64_t(now.tv_sec) * 1000000000 + now.tv_nsec;
  if (old.exists && ns <= old.mtimeNs) ns = old.mtimeNs + 1;
  const timespec times[2] = {{0, UTIME_NOW}, {time_t(ns / 1000000000), long(ns % 1000000000)}};
  return futimens(fd, times) == 0;
}

// A crash after the rename must not bring the old name back. The new file
// is in place whatever this answers, so a failure is not reported.
void SyncFolder(const std::string& folder) {
  FileDescriptor fd(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) fsync(fd.get());
}

// Writes text as the file's next state: a synced temporary file renamed
// over it. Answers the new file's identity.
FileIdentity Replace(const std::string& file, const std::string& text, const FileIdentity& old) {
  const std::string temp = file + ".tmp";
  const auto fail = [&temp](const char* what) {
    const int reason = errno;
    unlink(temp.c_str());
    errno = reason;
    Fail(what, temp);
  };
  // One left by a writer that died is stale: writers take turns.
  if (unlink(temp.c_str()) != 0 && errno != ENOENT) fail("Cannot write the registry file");
  FileDescriptor fd(open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600));
  if (fd.get() < 0) Fail("Cannot write the registry file", temp);
  struct stat st;
  if (!WriteAll(fd.get(), text) || !StampAfter(fd.get(), old) || fsync(fd.get()) != 0 || fstat(fd.get(), &st) != 0 ||
      !fd.Close()) {
    fail("Cannot write the registry file");
  }
  if (registry_detail::BeforeReplace) registry_detail::BeforeReplace();
  if (rename(temp.c_str(), file.c_str()) != 0) fail("Cannot replace the registry file with");
  SyncFolder(FolderOf(file));
  return IdentityOf(st);
}

// Applies change to the newest contents under the writers' lock and writes
// the result when change answers true.
void Change(const std::string& file, const std::function<bool(RegDocument&)>& change) {
  MakePrivateFolders(FolderOf(file));
  const std::string lockName = file + ".lock";
  FileDescriptor lock(open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0) Fail("Cannot lock the registry file", lockName);
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) Fail("Cannot lock the registry file", lockName);
  }
  FileIdentity old;
  RegDocument doc = ReadDocument(file, old);
  if (!change(doc)) return;
  const FileIdentity written = Replace(file, FormatRegistryText(doc), old);
  Remember(file, written, std::make_shared<const RegDocument>(std::move(doc)));
}

}  // namespace

std::string RegistryFileName() {
  const std::string file = Environment("MATTERDESK_REGISTRY");
  if (!file.empty()) return file;
  std::string config = Environment("XDG_CONFIG_HOME");
  if (config.empty() || config.front() != '/') config = HomeFolder() + "/.config";
  return config + "/corvenstead/registry.ini";
}

TRegistry::TRegistry() : file_(RegistryFileName()) {}

bool TRegistry::Resolve(const std::string& key, std::string& path) const {
  if (!key.empty() && key.front() == '\\') {
    path = key.substr(1);
  } else if (currentPath_.empty() || key.empty()) {
    path = currentPath_.empty() ? key : currentPath_;
  } else {
    path = currentPath_ + '\\' + key;
  }
  std::vector<std::string> names;
  return SplitKeyPath(path, names);
}

bool TRegistry::Open(const std::string& key, bool canCreate, bool readOnly) {
  std::string path;
  if (!Resolve(key, path)) return false;
  if (!Snapshot(file_)->FindKey(path)) {
    if (!canCreate) return false;
    try {
      Change(file_, [&path](RegDocument& doc) {
        if (doc.FindKey(path)) return false;
        doc.CreateKey(path);
        return true;
      });
    } catch (const ERegistryException&) {
      return false;
    }
  }
  currentPath_ = path;
  readOnly_ = readOnly;
  return true;
}

bool TRegistry::OpenKey(const std::string& key, bool CanCreate) { return Open(key, CanCreate, false); }

bool TRegistry::OpenKeyReadOnly(const std::string& key) { return Open(key, false, true); }

void TRegistry::CloseKey() {
  currentPath_.clear();
  readOnly_ = false;
}

bool TRegistry::KeyExists(const std::string& key) {
  std::string path;
  return Resolve(key, path) && Snapshot(file_)->FindKey(path);
}

std::optional<RegValue> TRegistry::Lookup(const std::string& name) {
  const auto doc = Snapshot(file_);
  const RegKey* key = doc->FindKey(currentPath_);
  const RegValue* value = key ? key->FindValue(name) : nullptr;
  if (!value) return std::nullopt;
  return *value;
}

bool TRegistry::ValueExists(const std::string& name) { return Lookup(name).has_value(); }

TRegDataType TRegistry::GetDataType(const std::string& name) {
  const auto value = Lookup(name);
  return value ? value->Type : rdUnknown;
}

std::optional<RegValue> TRegistry::ReadValue(const std::string& name, TRegDataType type) {
  auto value = Lookup(name);
  if (value && value->Type != type) {
    throw ERegistryException(Format("The registry value '%s' holds another type of data.", name));
  }
  return value;
}

std::string TRegistry::ReadString(const std::string& name) {
  const auto value = ReadValue(name, rdString);
  return value ? value->Data : "";
}

int TRegistry::ReadInteger(const std::string& name) {
  const auto value = ReadValue(name, rdInteger);
  return value ? value->Integer : 0;
}

std::string TRegistry::ReadBinaryData(const std::string& name) {
  const auto value = ReadValue(name, rdBinary);
  return value ? value->Data : "";
}

void TRegistry::RequireWritable() const {
  if (readOnly_) throw ERegistryException(Format("The registry key %s is open for reading only.", currentPath_));
  if (currentPath_.empty()) throw ERegistryException("No registry key is open for writing.");
}

void TRegistry::WriteValue(const RegValue& value) {
  RequireWritable();
  Change(file_, [this, &value](RegDocument& doc) {
    RegKey* key = doc.FindKey(currentPath_);
    if (!key) throw ERegistryException(Format("The registry key %s no longer exists.", currentPath_));
    return key->SetValue(value);
  });
}

void TRegistry::WriteString(const std::string& name, const std::string& value) {
  WriteValue({name, rdString, value, 0});
}

void TRegistry::WriteInteger(const std::string& name, int value) { WriteValue({name, rdInteger, "", value}); }

void TRegistry::WriteBinaryData(const std::string& name, const std::string& data) {
  WriteValue({name, rdBinary, data, 0});
}

std::vector<std::string> TRegistry::GetKeyNames() { return Snapshot(file_)->SubkeyNames(currentPath_); }

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  const auto doc = Snapshot(file_);
  if (const RegKey* key = doc->FindKey(currentPath_)) {
    for (const RegValue& value : key->Values) names.push_back(value.Name);
  }
  return names;
}

bool TRegistry::DeleteKey(const std::string& key) {
  if (readOnly_) RequireWritable();
  std::string path;
  if (!Resolve(key, path) || path.empty() || !Snapshot(file_)->FindKey(path)) return false;
  bool deleted = false;
  Change(file_, [&](RegDocument& doc) { return deleted = doc.DeleteKey(path); });
  return deleted;
}

bool TRegistry::DeleteValue(const std::string& name) {
  RequireWritable();
  if (!Lookup(name)) return false;
  bool deleted = false;
  Change(file_, [&](RegDocument& doc) {
    RegKey* key = doc.FindKey(currentPath_);
    return deleted = key && key->DeleteValue(name);
  });
  return deleted;
}
