// Operations on whole record-manager files: Create's placing of a new file,
// the in-use probe, copy, rename and delete.
//
// Each holds the file's open byte on its sidecar (engine/sidecar.h) for as
// long as it runs, so the test for other clients and the act are one step:
// rename and delete hold it exclusively (refused with 85 while any client
// of any process, this one included, has the file open; no client can open
// it meanwhile), a copy holds it shared as an open does (refused only by an
// exclusive open, so two workstations may copy one file at once). The
// sidecar comes before SQLite touches the file: a process that opened and
// closed a database another of its connections has open would drop
// SQLite's locks on it.
//
// Before acting, each opens the file once through SQLite, which settles
// what a killed writer left (engine/recovery.h: a hot journal is played
// back, or dropped when its transaction had committed) and proves the file
// is one of ours (30 otherwise). Rename and delete then sweep the journals
// nobody will play back and remove the lock files of the names they empty,
// each while still holding it. A lock file an operation created for its
// own claim goes too, so nothing stays behind but the files themselves.
//
// A new file (Create, a copy's target) is written whole under a hidden
// temporary name beside its target and renamed into place, so the name
// shows nothing or the complete file, never replacing one that exists
// unless Create is told to. The temporary is made as every new name in a
// shared folder is (platform/folder_file.h: never through a link, with its
// folder's mode), a copy is written through the descriptor that made it,
// and the move happens only while the temporary's name still leads to
// that file; when another name was put in its place, the operation fails
// (2 for a copy, 25 for Create) and removes what it moved. A journal found at the new name belongs to no
// file and would be played back into the new one: it is removed first,
// under the target's exclusive claim, so no client can be writing there.
//
// Every refusal and failure leaves both names as they were.
#pragma once

#include "engine/file_spec.h"

#include <cstdint>
#include <string>

namespace engine {

// The native path of a file name as callers give it ("\" or "/" between
// folders, any case; platform/files.h); 11 when the name is empty or names
// a folder.
int16_t ResolveFileName(const std::string& name, std::string& path);

// Creates an empty file of spec at path: 59 when a file exists there and
// replace is false, 85 when replace meets a file some client has open, 11
// for a folder, 25 when it cannot be written.
int16_t CreateRecordFile(const std::string& path, const FileSpec& spec, bool replace);

// 0 when nobody has the file open, 85 when some client of some process
// does, 12 when it does not exist, 30 when it is not one of ours.
int16_t FileInUse(const std::string& path);

// A copy of every record at its physical position and of the
// specification, as committed when the copy began: 59 when `to` exists, 85
// while a client holds `from` exclusively or another client's commit
// outlasts the wait, 12, 30, or 2 when it cannot be written.
int16_t CopyRecordFile(const std::string& from, const std::string& to);

// `to` is a native path as platform's ResolveRenameTarget gives it. 59 when
// it exists, 85 while any client has `from` open, 12, 30, 2.
int16_t RenameRecordFile(const std::string& from, const std::string& to);

// 85 while any client has the file open, 12, 30, 2.
int16_t DeleteRecordFile(const std::string& path);

}  // namespace engine
