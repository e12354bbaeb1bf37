#include "platform/registry.h"

#include "platform/format.h"
#include "platform/session.h"

#include <fcntl.h>
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

constexpr const char* kConfigFile = "/.config/corvenstead/registry.ini";

// The registry file under the home folder, or why there is none: a HOME that
// is empty or relative would put the file somewhere that depends on where the
// program was started.
TRegistryPlace PlaceUnderHome() {
  std::string why;
  const std::string home = HomeFolder(why);
  if (!home.empty()) return {home + kConfigFile, ""};
  const char* set = std::getenv("HOME");
  const std::string named = set && *set ? set : "~";
  return {"", Format("The registry file %s%s cannot be used: %s; it must name the home folder by its full path.",
                     named, kConfigFile, why)};
}

// The place's file, or the refusal raised.
const std::string& UsableFile(const TRegistryPlace& place) {
  if (!place.Refusal.empty()) throw ERegistryException(place.Refusal);
  return place.File;
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
  mode_t permissions = 0;  // kept by the next write
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const struct stat& st) {
  return {true, st.st_dev, st.st_ino, st.st_size, int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
          st.st_mode & 0777};
}

// What a path that is not a regular file holds, for the refusal.
const char* KindOf(mode_t mode) {
  if (S_ISDIR(mode)) return "a folder";
  if (S_ISFIFO(mode)) return "a FIFO";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
  if (S_ISSOCK(mode)) return "a socket";
  return "not a file";
}

[[noreturn]] void NotARegularFile(const std::string& file, mode_t mode) {
  throw ERegistryException(Format("The registry file %s is not a regular file (%s).", file, KindOf(mode)));
}

[[noreturn]] void TooLarge(const std::string& file) {
  throw ERegistryException(
      Format("The registry file %s is larger than %d MiB.", file, static_cast<int>(RegistryFileMaxBytes >> 20)));
}

// The file's contents now; no file (or no folder) is an empty registry.
// Only a regular file of at most RegistryFileMaxBytes is read: the open
// cannot block (a FIFO), and nothing endless (a device) is read into memory.
RegDocument ReadDocument(const std::string& file, FileIdentity& identity) {
  identity = {};
  FileDescriptor fd(open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.get() < 0) {
    if (errno == ENOENT) return RegDocument();
    Fail("Cannot read the registry file", file);
  }
  struct stat st;
  if (fstat(fd.get(), &st) != 0) Fail("Cannot read the registry file", file);
  if (!S_ISREG(st.st_mode)) NotARegularFile(file, st.st_mode);
  if (st.st_size > static_cast<off_t>(RegistryFileMaxBytes)) TooLarge(file);
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
    // A file still growing while it is read.
    if (bytes.size() > RegistryFileMaxBytes) TooLarge(file);
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

// Writes text as the file's next state: a synced temporary file, with the
// permissions of the file it replaces (0600 for a new one), renamed over
// it. Answers the new file's identity.
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
  if (fchmod(fd.get(), old.exists ? old.permissions : 0600) != 0 || !WriteAll(fd.get(), text) ||
      !StampAfter(fd.get(), old) || fsync(fd.get()) != 0 || fstat(fd.get(), &st) != 0 || !fd.Close()) {
    fail("Cannot write the registry file");
  }
  if (registry_detail::BeforeReplace) registry_detail::BeforeReplace();
  if (rename(temp.c_str(), file.c_str()) != 0) fail("Cannot replace the registry file with");
  SyncFolder(FolderOf(file));
  return IdentityOf(st);
}

// The file a write replaces: the registry file, or the file its symbolic
// links lead to (made when it does not exist yet), so a link the user made
// stays a link and the file it names takes the change. Anything but a
// regular file there is refused before a lock or a temporary file is made
// beside it.
std::string WriteTarget(const std::string& file) {
  constexpr int kMostLinks = 40;
  std::string target = file;
  for (int links = 0; links <= kMostLinks; ++links) {
    struct stat st;
    if (lstat(target.c_str(), &st) != 0) {
      if (errno == ENOENT) return target;
      Fail("Cannot write the registry file", target);
    }
    if (S_ISREG(st.st_mode)) return target;
    if (!S_ISLNK(st.st_mode)) NotARegularFile(file, st.st_mode);
    std::error_code error;
    const std::filesystem::path next = std::filesystem::read_symlink(target, error);
    if (error) {
      errno = error.value();
      Fail("Cannot write the registry file", target);
    }
    target = next.is_absolute() ? next.string() : (std::filesystem::path(FolderOf(target)) / next).string();
  }
  errno = ELOOP;
  Fail("Cannot write the registry file", file);
}

// Applies change to the newest contents under the writers' lock and writes
// the result when change answers true. The lock, the temporary file and
// the rename are beside the file written (WriteTarget).
void Change(const std::string& file, const std::function<bool(RegDocument&)>& change) {
  MakePrivateFolders(FolderOf(file));
  const std::string target = WriteTarget(file);
  const std::string lockName = target + ".lock";
  FileDescriptor lock(open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
  if (lock.get() < 0) Fail("Cannot lock the registry file", lockName);
  while (flock(lock.get(), LOCK_EX) != 0) {
    if (errno != EINTR) Fail("Cannot lock the registry file", lockName);
  }
  FileIdentity old;
  RegDocument doc = ReadDocument(target, old);
  if (!change(doc)) return;
  const FileIdentity written = Replace(target, FormatRegistryText(doc), old);
  Remember(file, written, std::make_shared<const RegDocument>(std::move(doc)));
}

}  // namespace

TRegistryPlace RegistryPlace() {
  const std::string file = Environment("MATTERDESK_REGISTRY");
  if (!file.empty()) return {file, ""};
  // A relative XDG_CONFIG_HOME is to be ignored, as the base directory
  // rules say.
  const std::string config = Environment("XDG_CONFIG_HOME");
  if (config.starts_with('/')) return {config + "/corvenstead/registry.ini", ""};
  return PlaceUnderHome();
}

std::string RegistryFileName() { return RegistryPlace().File; }

void CheckRegistryFile() { Snapshot(UsableFile(RegistryPlace())); }

TRegistry::TRegistry() : place_(RegistryPlace()) {}

const std::string& TRegistry::File() const { return UsableFile(place_); }

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
  if (!Snapshot(File())->FindKey(path)) {
    if (!canCreate) return false;
    try {
      Change(File(), [&path](RegDocument& doc) {
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
  return Resolve(key, path) && Snapshot(File())->FindKey(path);
}

std::optional<RegValue> TRegistry::Lookup(const std::string& name) {
  const auto doc = Snapshot(File());
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
  Change(File(), [this, &value](RegDocument& doc) {
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

std::vector<std::string> TRegistry::GetKeyNames() { return Snapshot(File())->SubkeyNames(currentPath_); }

std::vector<std::string> TRegistry::GetValueNames() {
  std::vector<std::string> names;
  const auto doc = Snapshot(File());
  if (const RegKey* key = doc->FindKey(currentPath_)) {
    for (const RegValue& value : key->Values) names.push_back(value.Name);
  }
  return names;
}

bool TRegistry::DeleteKey(const std::string& key) {
  if (readOnly_) RequireWritable();
  std::string path;
  if (!Resolve(key, path) || path.empty() || !Snapshot(File())->FindKey(path)) return false;
  bool deleted = false;
  Change(File(), [&](RegDocument& doc) { return deleted = doc.DeleteKey(path); });
  return deleted;
}

bool TRegistry::DeleteValue(const std::string& name) {
  RequireWritable();
  if (!Lookup(name)) return false;
  bool deleted = false;
  Change(File(), [&](RegDocument& doc) {
    RegKey* key = doc.FindKey(currentPath_);
    return deleted = key && key->DeleteValue(name);
  });
  return deleted;
}
