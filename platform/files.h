// The file layer: Windows-style names ("\mddata\MNGR007.DSC", "C:\x",
// "dir/sub\file") turned into native paths and the runtime's file routines
// over them. Every routine takes a Windows-style or native name and resolves
// it with ResolvePath. Failures answer false (or an empty result) and leave
// the reason in errno; nothing here throws for an ordinary failure.
#pragma once

#include "platform/clock.h"

#include <cstdint>
#include <string>
#include <vector>

// The native path for a name:
// - "\" and "/" both separate folders; doubled separators count once, and a
//   trailing separator is kept.
// - A drive prefix ("C:") is dropped and the rest is taken from the root:
//   "C:\x" and "C:x" both name "/x". There are no drives here.
// - Without a drive or leading separator the name stays relative to the
//   current folder ("dir\f" gives "dir/f").
// - Each component that exists is spelt as on disk: the exact name when it
//   exists, else the first case-insensitive match in byte-wise sorted order,
//   so of "NOTES.TXT" and "Notes.txt" a request for "notes.TXT" always
//   picks "NOTES.TXT". Case is compared with the Windows-1252 upper-case rule.
// - From the first component that does not exist on, the names stay as
//   given, so a new file keeps the case it was given.
// - "." and ".." are passed through.
// An empty name, or one holding a NUL byte, gives "": no system call finds a
// file under that name, so a caller that passes it on fails safely.
// Only a few stat and directory reads: cheap enough for every open.
std::string ResolvePath(const std::string& name);

// A file that exists and is not a folder (symbolic links followed).
bool FileExists(const std::string& name);
bool DirectoryExists(const std::string& name);

// The last modification of a file (not a folder) as a local date-time
// value, to the millisecond; false, value untouched, when there is none.
bool FileAge(const std::string& name, TDateTime& value);

// Creates one folder with its parent's permission bits and set-group-id
// bit, not the umask (FolderModeInFolder, platform/folder_file.h); false
// when it exists or its parent is missing.
bool CreateDir(const std::string& name);
// Creates the folder and every missing parent, each as CreateDir makes one;
// true when it exists afterwards.
bool ForceDirectories(const std::string& name);

// Deletes a file (never a folder).
bool DeleteFile(const std::string& name);

// Moves a file or folder to a new name, never replacing anything: when `to`
// exists the call answers false (errno EEXIST) and both stay as they were.
// A rename that changes only the case of the name ("a.txt" to "A.TXT") is
// allowed, as on the system the names come from.
bool RenameFile(const std::string& from, const std::string& to);

// The native path a rename of the file at native path source to `to` moves
// it to: `to` resolved, except that a name resolving onto the source itself
// (it differs at most in case) keeps its last component as written, so
// "Master.Bak" renamed to "MASTER.BAK" takes the new spelling.
std::string ResolveRenameTarget(const std::string& source, const std::string& to);

// The rename under RenameFile, between native paths, without resolving
// names or routing record-manager files: false (errno EEXIST) when `to`
// exists. For the record manager's own renames.
bool RenameNativeNoReplace(const std::string& from, const std::string& to);

// Copies the bytes of a file. Source and target are opened as every name in
// a shared folder is (platform/folder_file.h): a link, FIFO or folder under
// either name is refused, and the new file takes its folder's mode. A
// replacing copy moves its temporary into place only while the temporary's
// name still leads to the file written. With failIfExists an existing
// target makes the call fail (errno EEXIST) and stays untouched; without it
// the target is replaced in one step, so it is either the old or the
// complete new file. The copy keeps the source's modification time. A
// failed copy leaves no partial target behind, and the source is only read.
bool CopyFile(const std::string& from, const std::string& to, bool failIfExists);

// The whole file replaced by bytes in one step: a new file beside it (made
// as CopyFile makes one), written and flushed, then moved over the name, so
// the name holds either the old file (or none) or all of the new bytes. A
// failure leaves nothing beside it. Not for record-manager files.
bool ReplaceFileBytes(const std::string& name, const std::string& bytes);

// Whether two names lead to one folder: each resolved (case, links), then
// compared without case, a trailing separator ignored. Names that do not
// resolve compare as written.
bool SameFolder(const std::string& a, const std::string& b);

// Record-manager files are copied, renamed and deleted by the record
// manager, which knows their companions and whether anyone has them open.
// When installed and isRecordFile answers true for the source (native path),
// CopyFile, RenameFile and DeleteFile hand the resolved native paths (the
// rename's target as ResolveRenameTarget gives it) to these functions
// instead, and answer what they answer; a refusal leaves errno set. copy and
// rename must never replace their target, so CopyFile of a record-manager
// file fails on an existing target whatever failIfExists says.
struct RecordFileOps {
  bool (*isRecordFile)(const std::string& path);
  bool (*copy)(const std::string& from, const std::string& to);
  bool (*rename)(const std::string& from, const std::string& to);
  bool (*remove)(const std::string& path);
};
// Installs the operations (nullptr removes them). The object must outlive its use.
void SetRecordFileOps(const RecordFileOps* ops);

// File attributes as the listing reports them. A name beginning with "." is
// hidden; a file nobody may write is read-only; other files carry faArchive.
constexpr int faReadOnly = 0x01;
constexpr int faHidden = 0x02;
constexpr int faSysFile = 0x04;
constexpr int faVolumeID = 0x08;
constexpr int faDirectory = 0x10;
constexpr int faArchive = 0x20;
constexpr int faAnyFile = 0x3F;

struct FileEntry {
  std::string Name;   // the name within its folder, as on disk
  int64_t Size = 0;   // bytes
  int64_t Time = 0;   // last modification, seconds since 1970-01-01 UTC
  int Attr = 0;       // fa* bits
};

// The entries of one folder whose names match the last component of pattern
// ("\mddata\MNGR???.DSC", "/x/y/*.dsx"). "*" matches any run of characters,
// "?" exactly one, case-insensitively; a trailing ".*" also matches names
// without an extension, so "*.*" matches every name. "." and ".." are never
// listed. Sorted case-insensitively, names differing only in case byte-wise.
// An unreadable or missing folder gives an empty list with errno set.
std::vector<FileEntry> FindFiles(const std::string& pattern);

// The runtime's search loop over FindFiles. Folders, hidden and system
// entries come only when their bits are in attr; others always come.
// FindFirst and FindNext answer 0 while they deliver an entry into the
// record, an errno value (ENOENT) when there is none (more).
struct TSearchRec : FileEntry {
  std::vector<FileEntry> Found;
  size_t Next = 0;
};
int FindFirst(const std::string& pattern, int attr, TSearchRec& rec);
int FindNext(TSearchRec& rec);
void FindClose(TSearchRec& rec);

// Exposed for tests: the no-replace rename used where the kernel or the file
// system cannot rename without replacing (files by link and unlink).
namespace files_detail {
bool RenameByLink(const std::string& from, const std::string& to);
}
