#include "entry/batch_journal_file.h"

#include "platform/fault_point.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "templates/batch_codec.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

// A journal is a few short lines; anything longer is not one.
constexpr size_t MaxJournalSize = 4096;

bool WriteAllFlushed(int Fd, const std::string& Text) {
  size_t done = 0;
  while (done < Text.size()) {
    const ssize_t n = ::write(Fd, Text.data() + done, Text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += size_t(n);
  }
  return ::fsync(Fd) == 0;
}

bool PutJournalInPlace(const std::string& Text) {
  const std::string target = ResolvePath(BatchJournalFileName());
  std::string temp;
  TFolderFile file = CreateFileBeside(target, temp);
  if (!file.IsOpen()) return false;
  if (WriteAllFlushed(file.Fd(), Text) && PlaceFileBeside(file, temp, target, true)) return true;
  const int error = errno;
  ::unlink(temp.c_str());
  errno = error;
  return false;
}

}  // namespace

bool WriteBatchJournal(const TBatchJournal& Journal) {
  const std::string text = FormatBatchJournal(Journal);
  return FaultCountedStep([&] { return PutJournalInPlace(text); },
                          [] {
                            errno = EIO;
                            return false;
                          });
}

TJournalRead ReadBatchJournal(TBatchJournal& Journal) {
  const std::string path = ResolvePath(BatchJournalFileName());
  std::string text;
  if (!ReadFolderFile(path, MaxJournalSize, text)) return errno == ENOENT ? TJournalRead::Missing : TJournalRead::Damaged;
  return ParseBatchJournal(text, Journal) ? TJournalRead::Read : TJournalRead::Damaged;
}

bool BatchJournalExists() { return FileExists(BatchJournalFileName()); }

bool DeleteBatchJournal() { return !BatchJournalExists() || DeleteFile(BatchJournalFileName()); }
