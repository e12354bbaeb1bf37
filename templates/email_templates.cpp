#include "templates/email_templates.h"

#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"
#include "templates/template_state.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

// One row of a built-in descriptor's table.
struct TEmailRow {
  const char* Name;
  int Width;
  int Offset;  // record position of the field's data
};

// The key field(s) every built-in template opens with: family lookups
// that are index 1's sort fields.
TFld KeyField(int Seq, const char* Name, const char* Spec, int Offset, bool RightJustify,
              std::vector<int> DispCols) {
  TFld f;
  f.SeqNo = Seq;
  f.FldId = Seq;
  f.Name = Name;
  f.Width = 7;
  f.KeyWidth = 7;
  f.FldType = 'C';
  f.Offset = Offset;
  f.UpperCase = f.Required = f.IsLookup = f.Unique = true;
  f.RightJustify = RightJustify;
  f.LkpKind = "L";
  f.LkpSpec = Spec;
  f.Forced = true;
  for (size_t k = 0; k < DispCols.size(); ++k) f.DispCols[static_cast<int>(k) + 1] = DispCols[k];
  f.IdxCount = 1;
  f.IdxNo[1] = 1;
  f.SortPos[1] = Seq;
  return f;
}

// Names and addresses alternate behind the key fields, eight of each, each
// pair Stride apart.
std::vector<TEmailRow> NameAddressRows(int FirstOffset, int NameWidth, int AddressWidth) {
  static const char* names[] = {"Name 1", "Name 2", "Name 3", "Name 4", "Name 5", "Name 6", "Name 7", "Name 8"};
  static const char* addresses[] = {"Address 1", "Address 2", "Address 3", "Address 4",
                                    "Address 5", "Address 6", "Address 7", "Address 8"};
  std::vector<TEmailRow> rows;
  int offset = FirstOffset;
  for (int k = 0; k < 8; ++k) {
    rows.push_back({names[k], NameWidth, offset});
    rows.push_back({addresses[k], AddressWidth, offset + NameWidth});
    offset += NameWidth + AddressWidth;
  }
  return rows;
}

std::string ClcaPath() { return ResolvePath(ClcaIndexName()); }

bool WriteAll(int Fd, const std::string& Bytes) {
  size_t done = 0;
  while (done < Bytes.size()) {
    const ssize_t n = ::write(Fd, Bytes.data() + done, Bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return true;
}

// A line per workstation of a two-character id: some 65536 lines of ten
// bytes. Anything longer is not this file.
constexpr size_t MaxClcaSize = 1 << 20;

// Waits for the file's lock as long as an append of another workstation
// takes, never for ever: a lock somebody keeps fails the registration.
bool LockForAppend(int Fd) {
  for (int attempt = 0; attempt < 500; ++attempt) {
    if (::lockf(Fd, F_TLOCK, 0) == 0) return true;
    if (errno != EACCES && errno != EAGAIN && errno != EINTR) return false;
    ::usleep(10000);
  }
  return false;
}

// The file's bytes; false when it cannot be read.
bool ReadClca(std::string& Bytes) { return ReadFolderFile(ClcaPath(), MaxClcaSize, Bytes); }

bool HasLineFor(const std::string& Bytes, const std::string& WSID) {
  const std::string start = Format("%-2s", WSID);
  size_t at = 0;
  while (at < Bytes.size()) {
    size_t end = Bytes.find('\n', at);
    if (end == std::string::npos) end = Bytes.size();
    if (Bytes.compare(at, start.size(), start) == 0 && at + start.size() <= end) return true;
    at = end + 1;
  }
  return false;
}

}  // namespace

std::vector<std::string> EmailDescriptorTexts(TEmailTemplate Which) {
  const bool matter = Which == TEmailTemplate::Matter;
  std::vector<TFld> fields{KeyField(1, "Client code", "A  0  1", 5, false, {1, 5, 7})};
  if (matter) fields.push_back(KeyField(2, "Case suffix", "B 22 80", 12, true, {80}));
  const std::vector<TEmailRow> rows = matter ? NameAddressRows(19, 35, 40) : NameAddressRows(12, 35, 45);
  for (const TEmailRow& row : rows) {
    TFld f;
    f.SeqNo = f.FldId = static_cast<int>(fields.size()) + 1;
    f.Name = row.Name;
    f.Width = f.KeyWidth = row.Width;
    f.FldType = 'C';
    f.Offset = row.Offset;
    fields.push_back(f);
  }
  std::vector<std::string> texts;
  for (const TFld& f : fields) texts.push_back(FormatFieldRecord(f, f.Offset));
  TIndexRecord index;
  index.SortFlds[1] = 1;
  index.Unique = true;
  if (matter) {
    // Tagged "K2" in front yet found by key 2 as the name record ("K1").
    index.Number = 2;
    index.Name = "matter suffix";
    index.SortFlds[2] = 2;
    index.Key2Tag = std::string(NameRecordKey);
    std::string text = FormatIndexRecord(index);
    SetIndexTplName(text, MatterEmailName);
    texts.push_back(text);
  } else {
    index.Number = 1;
    index.Name = "Client code";
    index.TplName = ClientEmailName;
    texts.push_back(FormatIndexRecord(index));
  }
  return texts;
}

std::pair<std::string, std::string> PadTemplateNumbers(int ClientNo, int MatterNo) {
  return {Format("%.3d", ClientNo), Format("%.3d", MatterNo)};
}

bool FindEmailTemplatePair(int& ClientNo) {
  const TTemplateNumberSet files = TemplateFilesInFolder(Store.DataDir);
  TDynCharArr buf(MasterRecordLength);
  for (int n = 0; n + 1 <= MaxTemplateNumber; ++n) {
    if (!IsTemplateNumberFree(TTemplateNumber(n), files, buf)) continue;
    if (IsTemplateNumberFree(TTemplateNumber(n + 1), files, buf)) {
      ClientNo = n;
      return true;
    }
  }
  return false;
}

std::string ClcaIndexName() { return Store.DataDir + "\\CLCA.IDX"; }

std::string ClcaLine(const std::string& WSID, int ClientNo, int MatterNo) {
  return Format("%-2s%3s%3s", WSID, IntToStr(ClientNo), IntToStr(MatterNo));
}

bool ClcaIndexHasWorkstation(const std::string& WSID) {
  std::string bytes;
  return ReadClca(bytes) && HasLineFor(bytes, WSID);
}

bool CreateClcaIndex(const std::string& Line) {
  const std::string path = ClcaPath();
  if (path.empty()) return false;
  TFolderFile file = TFolderFile::Open(path, O_WRONLY, TCreate::Only);
  if (!file.IsOpen()) return false;
  const bool written = WriteAll(file.Fd(), Line + "\r\n");
  const bool closed = file.Close();
  if (!written || !closed) {
    ::unlink(path.c_str());
    return false;
  }
  return true;
}

bool WriteClcaIndex(const std::string& WSID, const std::string& Line) {
  if (CreateClcaIndex(Line)) return true;
  const std::string path = ClcaPath();
  if (path.empty()) return false;
  TFolderFile file = TFolderFile::Open(path, O_RDWR | O_APPEND);
  if (!file.IsOpen()) return false;
  const int fd = file.Fd();
  // Held while the file is read and appended to, so two workstations
  // registering at once both end up with their line.
  const bool ok = [&] {
    if (!LockForAppend(fd)) return false;
    std::string bytes;
    if (!ReadOpenFile(file, path, MaxClcaSize, bytes)) return false;
    if (HasLineFor(bytes, WSID)) return true;
    const std::string lead = (!bytes.empty() && bytes.back() != '\n') ? "\r\n" : "";
    return WriteAll(fd, lead + Line + "\r\n");
  }();
  return file.Close() && ok;
}
