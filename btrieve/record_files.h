// CopyFile, RenameFile and DeleteFile of record-manager files go to the
// record manager's whole-file functions (platform/files.h, RecordFileOps):
// it refuses to rename or delete a file any client of any process has open
// (a rename or delete under another workstation would leave it writing to
// a file nobody sees any more), copies a consistent snapshot, and takes the
// file's companions along.
//
// RouteRecordFiles installs the routes for the rest of the process; calling
// it again changes nothing. The program calls it as it starts, before any
// file is copied, and LoadBtrieveDll calls it, so every process that uses
// the record manager routes its files. The routes load the record manager
// at their first use, from the program folder under its own name
// ("wbtrv32.dll", libwbtrv32.so) as the binding does, and keep it loaded
// for the life of the process. When the binding loads the same library,
// both hold one loaded copy (dlopen counts references), so the engine's own
// opens count as opens. Whether a file is a record-manager file is the
// engine's answer (its in-use probe), never its extension: descriptors,
// data files, the master, user lists and batch files all have extensions
// of their own. Where the engine cannot be loaded, every file is plain:
// no engine could have one open in this process.
//
// A refused call answers false with errno set: EBUSY while a client has the
// file open (or holds it exclusively, for a copy), EEXIST when the target
// exists (a record-manager file is never copied over another file, whatever
// CopyFile's failIfExists says), ENOENT for a missing file, EIO otherwise.
// A file whose state the engine cannot read (status 2) counts as one of its
// own, so its unsettled journal is never separated from it by a plain rename.
#pragma once

void RouteRecordFiles();
