#include "platform/files.h"

#include "platform/fault_point.h"
#include "platform/folder_file.h"
#include "platform/paths.h"
#include "platform/text.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#ifndef RENAME_NOREPLACE
#define RENAME_NOREPLACE (1 << 0)
#endif

namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  return folder.back() == '/' ? folder + name : folder + '/' + name;
}

// Calls visit(folderFd, name) for each entry of a folder but "." and "..";
// false (errno set) when the folder cannot be read.
template <typename Visit>
bool ForEachEntry(const std::string& folder, Visit visit) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return false;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") visit(dirfd(dir), name);
  }
  closedir(dir);
  return true;
}

// How a name is spelt in folder. An exact match wins, so of two names that
// differ only in case the one asked for is taken; otherwise the first
// case-insensitive match in byte-wise order, so the choice never depends on
// the order the folder happens to list them in. onDisk turns false when
// nothing matches (the name is then kept as given).
std::string SpellingOnDisk(const std::string& folder, const std::string& name, bool& onDisk) {
  struct stat st;
  if (lstat(JoinPath(folder, name).c_str(), &st) == 0) return name;
  if (errno != ENOENT) {
    onDisk = false;
    return name;
  }
  const std::string key = AnsiUpperCase(name);
  std::string best;
  ForEachEntry(folder, [&](int, const std::string& entry) {
    if (entry.size() == key.size() && AnsiUpperCase(entry) == key && (best.empty() || entry < best))
      best = entry;
  });
  if (best.empty()) {
    onDisk = false;
    return name;
  }
  return best;
}

// The native path of a name, or false with errno set when it names no file.
bool NativeName(const std::string& name, std::string& path) {
  path = ResolvePath(name);
  if (!path.empty()) return true;
  errno = name.empty() ? ENOENT : EINVAL;
  return false;
}

std::atomic<const RecordFileOps*> recordFileOps{nullptr};

// The installed operations when path is a record-manager file.
const RecordFileOps* RecordOpsFor(const std::string& path) {
  const RecordFileOps* ops = recordFileOps.load();
  return ops && ops->isRecordFile && ops->isRecordFile(path) ? ops : nullptr;
}

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    const ssize_t written = write(fd, data, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    size -= size_t(written);
  }
  return true;
}

bool CopyBytes(int in, int out) {
  std::string buffer(1 << 16, '\0');
  for (;;) {
    const ssize_t got = read(in, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return true;
    if (!WriteAll(out, buffer.data(), size_t(got))) return false;
  }
}

// Closes a new file beside a target and moves it over the target; on any
// failure it is removed, errno kept.
bool PlaceOrDrop(TFolderFile& out, const std::string& temp, const std::string& target, bool ok) {
  ok = ok && PlaceFileBeside(out, temp, target, true);
  const int error = errno;
  out.Close();
  if (!ok) {
    unlink(temp.c_str());
    errno = error;
  }
  return ok;
}

// Fills out with the bytes of in from its start, with the source's
// modification time; durable flushes it to the disk.
bool FillCopy(int in, const struct stat& source, int out, bool durable) {
  if (lseek(in, 0, SEEK_SET) != 0 || !CopyBytes(in, out) || (durable && fsync(out) != 0)) return false;
  // Keeps the modification time as copies do on the system the program
  // comes from; a file system that refuses still gets its copy.
  const timespec times[2] = {{0, UTIME_OMIT}, source.st_mtim};
  futimens(out, times);
  return true;
}

// Creates target (never over an existing file) and fills it from the start
// of in; a target that could not be completed is removed. durable flushes
// it to the disk before it is closed.
bool CopyInto(int in, const struct stat& source, const std::string& target, bool durable) {
  TFolderFile out = TFolderFile::Open(target, O_WRONLY, TCreate::Only);
  if (!out.IsOpen()) return false;
  bool ok = FillCopy(in, source, out.Fd(), durable);
  int error = errno;
  if (!out.Close() && ok) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    unlink(target.c_str());
    errno = error;
  }
  return ok;
}

// Copies in over target in one step: a whole new file, written through the
// descriptor that made it, moved into place while its name still leads to it.
bool ReplaceWithCopy(int in, const struct stat& source, const std::string& target) {
  std::string temp;
  TFolderFile out = CreateFileBeside(target, temp);
  if (!out.IsOpen()) return false;
  return PlaceOrDrop(out, temp, target, FillCopy(in, source, out.Fd(), true));
}

// The last component of a Windows-style or native name as written.
std::string LastComponent(const std::string& name) {
  const size_t start = HasDrivePrefix(name) ? 2 : 0;
  size_t end = name.size();
  while (end > start && IsPathSeparator(name[end - 1])) --end;
  size_t begin = end;
  while (begin > start && !IsPathSeparator(name[begin - 1])) --begin;
  return name.substr(begin, end - begin);
}

// A file step the fault point fails: refused, nothing changed.
bool InjectedFailure() {
  errno = EIO;
  return false;
}

}  // namespace

bool RenameNativeNoReplace(const std::string& from, const std::string& to) {
#ifdef SYS_renameat2
  if (syscall(SYS_renameat2, AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
    return true;
  // An old kernel lacks the call; some file systems (network ones) refuse the flag.
  if (errno != ENOSYS && errno != EINVAL) return false;
#endif
  return files_detail::RenameByLink(from, to);
}

namespace {

// Case-insensitive wildcard match of folded texts: '*' any run, '?' one byte.
bool WildMatch(const std::string& mask, const std::string& name) {
  size_t m = 0, n = 0, starMask = std::string::npos, starName = 0;
  while (n < name.size()) {
    if (m < mask.size() && (mask[m] == '?' || mask[m] == name[n])) {
      ++m;
      ++n;
    } else if (m < mask.size() && mask[m] == '*') {
      starMask = m++;
      starName = n;
    } else if (starMask != std::string::npos) {
      m = starMask + 1;
      n = ++starName;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == '*') ++m;
  return m == mask.size();
}

// A trailing ".*" also matches a name without an extension, so "*.*" is every name.
bool MatchesMask(const std::string& mask, const std::string& name) {
  if (WildMatch(mask, name)) return true;
  return mask.size() >= 2 && mask.ends_with(".*") && WildMatch(mask.substr(0, mask.size() - 2), name);
}

int AttributesOf(const std::string& name, const struct stat& st) {
  int attr = S_ISDIR(st.st_mode) ? faDirectory : faArchive;
  if (name[0] == '.') attr |= faHidden;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) attr |= faReadOnly;
  return attr;
}

}  // namespace

std::string ResolvePath(const std::string& name) {
  if (name.empty() || name.find('\0') != std::string::npos) return {};
  const bool drive = HasDrivePrefix(name);
  std::string path = drive || IsPathSeparator(name[0]) ? "/" : "";
  bool onDisk = true;
  size_t at = drive ? 2 : 0;
  while (at < name.size()) {
    if (IsPathSeparator(name[at])) {
      ++at;
      continue;
    }
    size_t end = at;
    while (end < name.size() && !IsPathSeparator(name[end])) ++end;
    std::string part = name.substr(at, end - at);
    if (onDisk && part != "." && part != "..") part = SpellingOnDisk(path, part, onDisk);
    path = JoinPath(path, part);
    at = end;
  }
  if (IsPathSeparator(name.back()) && path.back() != '/') path += '/';
  return path;
}

bool FileExists(const std::string& name) {
  std::string path;
  struct stat st;
  return NativeName(name, path) && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool FileAge(const std::string& name, TDateTime& value) {
  std::string path;
  struct stat st;
  if (!NativeName(name, path) || stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
  value = LocalDateTime(st.st_mtim.tv_sec, static_cast<int>(st.st_mtim.tv_nsec / 1000000));
  return true;
}

bool DirectoryExists(const std::string& name) {
  std::string path;
  struct stat st;
  return NativeName(name, path) && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {

bool CreateDirNow(const std::string& name) {
  std::string path;
  return NativeName(name, path) && MakeFolder(path);
}

}  // namespace

bool CreateDir(const std::string& name) {
  return FaultCountedStep([&] { return CreateDirNow(name); }, InjectedFailure);
}

namespace {

bool ForceDirectoriesNow(const std::string& name) {
  std::string path;
  if (!NativeName(name, path)) return false;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  for (size_t end = 1; end <= path.size(); ++end) {
    if (end < path.size() && path[end] != '/') continue;
    const std::string folder = path.substr(0, end);
    struct stat st;
    if (stat(folder.c_str(), &st) == 0) {
      if (S_ISDIR(st.st_mode)) continue;
      errno = ENOTDIR;
      return false;
    }
    if (MakeFolder(folder)) continue;
    // Another process may have made it meanwhile.
    if (errno == EEXIST && stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) continue;
    return false;
  }
  return true;
}

}  // namespace

bool ForceDirectories(const std::string& name) {
  return FaultCountedStep([&] { return ForceDirectoriesNow(name); }, InjectedFailure);
}

namespace {

bool DeleteFileNow(const std::string& name) {
  std::string path;
  if (!NativeName(name, path)) return false;
  if (const RecordFileOps* ops = RecordOpsFor(path)) return ops->remove(path);
  return unlink(path.c_str()) == 0;
}

}  // namespace

bool DeleteFile(const std::string& name) {
  return FaultCountedStep([&] { return DeleteFileNow(name); }, InjectedFailure);
}

std::string ResolveRenameTarget(const std::string& source, const std::string& to) {
  std::string target = ResolvePath(to);
  if (!target.empty() && target == source) {
    // `to` differs from the source at most in case, so it resolved onto the
    // source itself: the new name is the one the caller wrote.
    const std::string given = LastComponent(to);
    if (!given.empty() && given != "." && given != "..")
      target = target.substr(0, target.rfind('/') + 1) + given;
  }
  return target;
}

namespace {

bool RenameFileNow(const std::string& from, const std::string& to) {
  std::string source, target;
  if (!NativeName(from, source) || !NativeName(to, target)) return false;
  target = ResolveRenameTarget(source, to);
  if (const RecordFileOps* ops = RecordOpsFor(source)) return ops->rename(source, target);
  return RenameNativeNoReplace(source, target);
}

}  // namespace

bool RenameFile(const std::string& from, const std::string& to) {
  return FaultCountedStep([&] { return RenameFileNow(from, to); }, InjectedFailure);
}

namespace {

bool CopyFileNow(const std::string& from, const std::string& to, bool failIfExists) {
  std::string source, target;
  if (!NativeName(from, source) || !NativeName(to, target)) return false;
  if (const RecordFileOps* ops = RecordOpsFor(source)) return ops->copy(source, target);
  const TFolderFile in = TFolderFile::Open(source, O_RDONLY);
  struct stat st;
  if (!in.IsOpen() || fstat(in.Fd(), &st) != 0) return false;
  return failIfExists ? CopyInto(in.Fd(), st, target, false) : ReplaceWithCopy(in.Fd(), st, target);
}

}  // namespace

bool CopyFile(const std::string& from, const std::string& to, bool failIfExists) {
  return FaultCountedStep([&] { return CopyFileNow(from, to, failIfExists); }, InjectedFailure);
}

void SetRecordFileOps(const RecordFileOps* ops) { recordFileOps.store(ops); }

std::vector<FileEntry> FindFiles(const std::string& pattern) {
  std::vector<std::pair<std::string, FileEntry>> keyed;  // (folded name, entry)
  const std::string mask = AnsiUpperCase(ExtractFileName(pattern));
  const std::string folderName = ExtractFilePath(pattern);
  const std::string folder = folderName.empty() ? "." : ResolvePath(folderName);
  if (mask.empty() || folder.empty()) {
    errno = pattern.find('\0') == std::string::npos ? ENOENT : EINVAL;
    return {};
  }
  ForEachEntry(folder, [&](int folderFd, const std::string& name) {
    std::string key = AnsiUpperCase(name);
    if (!MatchesMask(mask, key)) return;
    struct stat st;
    // A dangling link is listed as itself; an entry gone meanwhile not at all.
    if (fstatat(folderFd, name.c_str(), &st, 0) != 0 &&
        fstatat(folderFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
      return;
    keyed.push_back({std::move(key), FileEntry{name, int64_t(st.st_size), int64_t(st.st_mtim.tv_sec),
                                               AttributesOf(name, st)}});
  });
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first != b.first ? a.first < b.first : a.second.Name < b.second.Name;
  });
  std::vector<FileEntry> found;
  found.reserve(keyed.size());
  for (auto& [key, entry] : keyed) found.push_back(std::move(entry));
  return found;
}

int FindFirst(const std::string& pattern, int attr, TSearchRec& rec) {
  rec = TSearchRec{};
  const int excluded = ~attr & (faHidden | faSysFile | faVolumeID | faDirectory);
  for (FileEntry& entry : FindFiles(pattern))
    if ((entry.Attr & excluded) == 0) rec.Found.push_back(std::move(entry));
  return FindNext(rec);
}

int FindNext(TSearchRec& rec) {
  if (rec.Next >= rec.Found.size()) return ENOENT;
  static_cast<FileEntry&>(rec) = rec.Found[rec.Next++];
  return 0;
}

void FindClose(TSearchRec& rec) {
  rec.Found.clear();
  rec.Found.shrink_to_fit();
  rec.Next = 0;
}

bool files_detail::RenameByLink(const std::string& from, const std::string& to) {
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) {
    if (link(from.c_str(), to.c_str()) != 0) return false;  // EEXIST when `to` exists
    if (unlink(from.c_str()) == 0) return true;
    const int error = errno;
    unlink(to.c_str());
    errno = error;
    return false;
  }
  // A folder cannot be linked: look, then rename. rename() could replace
  // only an empty folder made by someone else between the two steps.
  if (lstat(to.c_str(), &st) == 0) {
    errno = EEXIST;
    return false;
  }
  return errno == ENOENT && rename(from.c_str(), to.c_str()) == 0;
}

bool ReplaceFileBytes(const std::string& name, const std::string& bytes) {
  std::string path;
  if (!NativeName(name, path)) return false;
  std::string temp;
  TFolderFile out = CreateFileBeside(path, temp);
  if (!out.IsOpen()) return false;
  return PlaceOrDrop(out, temp, path, WriteAll(out.Fd(), bytes.data(), bytes.size()) && fsync(out.Fd()) == 0);
}

namespace {

// A folder's name as compared: resolved, its links followed when it exists,
// without a trailing separator.
std::string FolderKey(const std::string& name) {
  std::string path = ResolvePath(name);
  if (char* real = path.empty() ? nullptr : realpath(path.c_str(), nullptr)) {
    path = real;
    free(real);
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

bool SameFolder(const std::string& a, const std::string& b) { return AnsiSameText(FolderKey(a), FolderKey(b)); }
