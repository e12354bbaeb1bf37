// The descriptor a modification starts from. The loader keeps a digest of
// the descriptor records it read (Store.LayoutDigest); a save, a grid
// delete or a record save of the same template checks, under the
// template's save lock, that the descriptor on disk still digests the same.
// Another workstation's save in between would otherwise be undone by a
// field table loaded before it, and a reused FldId would even carry that
// workstation's new field into this one.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Folds one descriptor record into a running digest (start with
// LayoutDigestStart). Records are taken in the order they are read.
constexpr uint64_t LayoutDigestStart = 14695981039346656037ull;
uint64_t FoldLayoutRecord(uint64_t Digest, std::string_view Record);

// The digest of the descriptor of template Number (three digits) in
// Store.DataDir as it lies now, read in key-1 order as file 200; 0 when
// the descriptor is missing. Raises on a read failure.
uint64_t DescriptorDigest(const std::string& Number);

// The caller holds the save lock of Store.TplNumber: true when the
// descriptor on disk is the one the loader read into the field table.
// False for a table the loader never read (digest 0).
bool LayoutStillCurrent();

// Shown when LayoutStillCurrent fails a save.
extern const std::string LayoutChangedMsg;
