#include "engine/whole_file.h"

#include "engine/recovery.h"
#include "engine/sidecar.h"
#include "engine/status.h"
#include "engine/store.h"
#include "platform/files.h"
#include "platform/folder_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <functional>
#include <memory>

namespace engine {
namespace {

constexpr const char* JournalSuffix = "-journal";

// A claim on the sidecar of one name for the length of an operation. When
// it ends, the lock file goes if the claim created it or the operation left
// the name without a file; else it stays for the clients that use it.
class NameClaim {
public:
  ~NameClaim() {
    if (sidecar_ && (emptied_ || sidecar_->Created())) sidecar_->Remove();
  }
  int16_t Take(const std::string& path, Sidecar::Hold hold, bool mayGoWithout = false) {
    return Sidecar::Claim(path, hold, sidecar_, mayGoWithout);
  }
  void Emptied() { emptied_ = true; }

private:
  std::unique_ptr<Sidecar> sidecar_;
  bool emptied_ = false;
};

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path p(path);
  return p.has_parent_path() ? p.parent_path().string() : ".";
}

void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Makes the file at path from what write puts into a new file beside it
// (made as every new name in a shared folder is: platform/folder_file.h),
// then moves it into place while the temporary name still leads to that
// file: 0, 59 when path exists and replace is false, write's own status, or
// failure when the file cannot be made or moved, or when another name was
// put in the temporary's place meanwhile.
// REQUIRES: the caller holds path's sidecar exclusively.
int16_t PlaceNewFile(const std::string& path, bool replace,
                     const std::function<int16_t(const TFolderFile&, const std::string&)>& write, int16_t failure) {
  std::string temp;
  const TFolderFile made = CreateFileBeside(path, temp);
  if (!made.IsOpen()) return failure;
  int16_t result = write(made, temp);
  if (result == status::Success) {
    ::unlink((path + JournalSuffix).c_str());
    if (!PlaceFileBeside(made, temp, path, replace))
      result = !replace && errno == EEXIST ? status::FileAlreadyExists : failure;
  }
  if (result != status::Success) {
    ::unlink(temp.c_str());
    ::unlink((temp + JournalSuffix).c_str());
    return result;
  }
  SyncFolder(FolderOf(path));
  return status::Success;
}

// Opens the file once through SQLite, settling what a killed writer left.
int16_t Settle(const std::string& path) {
  std::shared_ptr<DataFile> file;
  return DataFile::Open(path, file);
}

// Writes the committed state of file through the descriptor of the new
// file, durably, with the source's modification time.
int16_t WriteCopy(DataFile& file, const struct stat& source, const TFolderFile& copy) {
  int16_t result = file.WriteSnapshot(copy.Fd());
  if (result == status::Success && ::fsync(copy.Fd()) != 0) result = status::IoError;
  if (result == status::Success) {
    const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
    ::futimens(copy.Fd(), times);
  }
  return result;
}

}  // namespace

int16_t ResolveFileName(const std::string& name, std::string& path) {
  if (name.empty()) return status::InvalidFileName;
  path = ResolvePath(name);
  if (path.empty() || path.back() == '/') return status::InvalidFileName;
  return status::Success;
}

int16_t CreateRecordFile(const std::string& path, const FileSpec& spec, bool replace) {
  struct stat st;
  if (::stat(path.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return status::InvalidFileName;
    if (!replace) return status::FileAlreadyExists;
  }
  NameClaim claim;
  if (int16_t s = claim.Take(path, Sidecar::Hold::Exclusive)) {
    if (!replace && Exists(path)) return status::FileAlreadyExists;
    return s == status::FileLocked ? s : status::CreateError;
  }
  return PlaceNewFile(
      path, replace,
      [&](const TFolderFile&, const std::string& temp) {
        return DataFile::WriteEmpty(temp, spec) ? status::Success : status::CreateError;
      },
      status::CreateError);
}

int16_t FileInUse(const std::string& path) {
  struct stat st;
  if (int16_t s = StatDataPath(path, st)) return s;
  // Nobody in this process has it open past this point (calls take turns),
  // so SQLite may open and close it to tell whether it is ours.
  if (Sidecar::Held(path)) return status::FileLocked;
  return Settle(path);
}

int16_t CopyRecordFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (int16_t s = StatDataPath(from, st)) return s;
  if (Exists(to)) return status::FileAlreadyExists;
  // A folder nobody here may write can hold no lock file and so no open
  // file: the copy goes ahead without one.
  NameClaim source;
  if (int16_t s = source.Take(from, Sidecar::Hold::Shared, true)) return s;
  std::shared_ptr<DataFile> file;
  if (int16_t s = DataFile::Open(from, file)) return s;
  NameClaim target;
  if (int16_t s = target.Take(to, Sidecar::Hold::Exclusive)) return Exists(to) ? status::FileAlreadyExists : s;
  return PlaceNewFile(
      to, false, [&](const TFolderFile& copy, const std::string&) { return WriteCopy(*file, st, copy); },
      status::IoError);
}

int16_t RenameRecordFile(const std::string& from, const std::string& to) {
  struct stat st;
  if (int16_t s = StatDataPath(from, st)) return s;
  if (Exists(to)) return status::FileAlreadyExists;
  NameClaim source;
  if (int16_t s = source.Take(from, Sidecar::Hold::Exclusive)) return s;
  if (int16_t s = Settle(from)) return s;
  SweepLeftovers(from);
  NameClaim target;
  if (int16_t s = target.Take(to, Sidecar::Hold::Exclusive)) return Exists(to) ? status::FileAlreadyExists : s;
  ::unlink((to + JournalSuffix).c_str());
  if (!RenameNativeNoReplace(from, to)) return errno == EEXIST ? status::FileAlreadyExists : status::IoError;
  source.Emptied();
  SyncFolder(FolderOf(from));
  if (FolderOf(to) != FolderOf(from)) SyncFolder(FolderOf(to));
  return status::Success;
}

int16_t DeleteRecordFile(const std::string& path) {
  struct stat st;
  if (int16_t s = StatDataPath(path, st)) return s;
  NameClaim claim;
  if (int16_t s = claim.Take(path, Sidecar::Hold::Exclusive)) return s;
  if (int16_t s = Settle(path)) return s;
  SweepLeftovers(path);
  if (::unlink(path.c_str()) != 0) return errno == ENOENT ? status::FileNotFound : status::IoError;
  // Settled, a journal left here is one nobody would play back.
  ::unlink((path + JournalSuffix).c_str());
  claim.Emptied();
  SyncFolder(FolderOf(path));
  return status::Success;
}

}  // namespace engine
