// Opening names in a data folder that several Unix users share.
//
// Anyone who may write the folder may plant a name there: a symbolic link
// to a file of the user who opens it, a FIFO that blocks the open for ever,
// a link to a device that never ends, a folder. So every name the program
// opens, creates or locks in the folder is input, and goes through here:
//   - The folder part of a path is followed (the folder the user configured
//     may itself be a link); the last component never is. The file is
//     opened relative to a descriptor of its folder, with O_NOFOLLOW,
//     O_NONBLOCK and O_CLOEXEC, then looked at with fstat: a symbolic link,
//     FIFO, socket, device or folder is refused (errno ELOOP, EISDIR or
//     EINVAL) with a warning (platform/log.h) naming the file and what it
//     is. Opening never waits, and a regular file opened reads as usual.
//   - A new file is made with O_EXCL, never through a link, and takes its
//     mode from its folder, not from the umask (FileModeInFolder).
//   - Reads of a whole file stop at the size its format allows.
// Paths are native ones (ResolvePath's results). Failures answer -1 or
// false with errno set; nothing here throws.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>
#include <string>

// The permission bits of a file made in a folder with mode folderMode:
// read and write for whom the folder grants them, never execute, never
// more than the folder. 2770 gives 0660, 2775 0664, 0700 0600.
mode_t FileModeInFolder(mode_t folderMode);
// The mode of a folder made inside one with mode parentMode: its
// permission bits and its set-group-id bit. A parent with the sticky bit
// (a scratch folder every user may write, such as /tmp) shares nothing
// with whom it grants, so its new folders are private (0700).
mode_t FolderModeInFolder(mode_t parentMode);

// What an open does about a missing name.
enum class TCreate {
  Never,      // a missing file fails (ENOENT)
  IfMissing,  // a missing file is made; an existing one is opened
  Only,       // a new file only; an existing name fails (EEXIST)
};

// A descriptor of a regular file in a data folder, closed when it ends.
class TFolderFile {
public:
  TFolderFile() = default;
  ~TFolderFile();
  TFolderFile(TFolderFile&& Other) noexcept;
  TFolderFile& operator=(TFolderFile&& Other) noexcept;
  TFolderFile(const TFolderFile&) = delete;
  TFolderFile& operator=(const TFolderFile&) = delete;

  // Opens the regular file at path for access (O_RDONLY, O_WRONLY or
  // O_RDWR, with O_APPEND or O_TRUNC as needed). A file made here gets
  // FileModeInFolder of its folder. Open() is false (errno set) on failure.
  static TFolderFile Open(const std::string& path, int access, TCreate create = TCreate::Never);

  bool IsOpen() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Whether this open made the file.
  bool Created() const { return created_; }
  // Hands the descriptor over; the object is closed afterwards.
  int Release();
  // Closes now: false (errno set) when the close reports an error.
  bool Close();

private:
  int fd_ = -1;
  bool created_ = false;
};

// The whole file at path into bytes, which stays untouched on failure:
// false when it cannot be opened (as TFolderFile::Open refuses) or read, or
// (errno EFBIG, with a warning naming it) when it is longer than maxSize.
bool ReadFolderFile(const std::string& path, size_t maxSize, std::string& bytes);
// The same through an open file (opened for reading), from its start;
// path only names it in the warning.
bool ReadOpenFile(const TFolderFile& file, const std::string& path, size_t maxSize, std::string& bytes);

// What stands at path, looked at without following a link at its end
// (lstat), into st: true for a regular file. False with errno set when
// nothing can be looked at (ENOENT, ...) or, with the warning
// TFolderFile::Open gives, when it is anything else (ELOOP for a link,
// EISDIR for a folder, EINVAL for the rest). Opens nothing, so it never
// waits and needs no read permission.
bool StatFolderFile(const std::string& path, struct stat& st);

// What stands at path when it is not a regular file ("a symbolic link",
// "a FIFO", "a folder", ...), "" for a regular or missing file. Looks only
// at the name (lstat); for checks before a library that opens by name.
std::string NonFileKind(const std::string& path);
// Logs the refusal of a name that is not a regular file: the path and kind.
void WarnNotAFile(const std::string& path, const std::string& kind);

// A lock file: opened for reading and writing, made when missing (as
// TCreate::IfMissing); when it may not be written and readOnlyWill is
// true, opened for reading only. -1 with errno set when it cannot be had:
// a file that exists but may not be opened is logged with its owner and
// mode. created tells whether this call made it; createError is the errno
// of the attempt to make it (0 when it was made), so a caller can tell a
// folder it may not write from a missing file.
int OpenLockFile(const std::string& path, bool readOnlyWill, bool& created, int& createError);

// A new empty file beside target under a hidden name unique to the call
// (".<name>.<pid>-<n>"), made as TCreate::Only makes one; its path in temp.
TFolderFile CreateFileBeside(const std::string& target, std::string& temp);

// Moves the new file temp, open as file, to target in the same folder:
// only while temp still names that file, and true only when target names
// it afterwards. Never replaces an existing target (errno EEXIST) unless
// replace is true. When temp no longer leads to the file, or target does
// not afterwards, the call answers false with errno ESTALE and removes
// what it moved; temp is the caller's to remove on any failure.
bool PlaceFileBeside(const TFolderFile& file, const std::string& temp, const std::string& target, bool replace);

// Makes one folder at path with FolderModeInFolder of its parent: false
// (errno set) when it exists or cannot be made.
bool MakeFolder(const std::string& path);
