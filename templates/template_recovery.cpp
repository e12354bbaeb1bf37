#include "templates/template_recovery.h"

#include "btrieve/call_status.h"
#include "btrieve/numbered_files.h"
#include "btrieve/win_btr.h"
#include "platform/dialogs.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"
#include "templates/master_codec.h"
#include "templates/save_lock.h"
#include "templates/store_constants.h"
#include "templates/template_number.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A save changes a template's files in this order: the data file moved to
// .QMX and a new one filled, the descriptor moved to .DSX and a new one
// written, one commit over all of them, then .QMX, the grid layout and
// .DSX deleted. A saved descriptor holds at least one record and an
// uncommitted one none, so what the files hold, once the engine has undone
// any unfinished transaction on opening them, tells which side of the
// commit a save stopped on. Every rule deletes only a file that is empty or
// whose records are whole elsewhere, and leaves a state the rules read the
// same way when it is cut short: running again finishes the job.

namespace {

constexpr int8_t NormalMode = 0;

// One file of the template: its name in the data folder (as on disk when it
// exists), whether it exists and, once opened, its committed record count.
struct TFile {
  std::string Name;
  bool Exists = false;
  uint32_t Records = 0;
};

struct TTemplateFiles {
  std::string Number;  // "007"
  TFile Dsc, Dsx, Qmd, Qmx, Grid;
};

TFile Locate(const std::string& DataDir, const std::string& Name) {
  TFile file;
  // Native and spelt as on disk, so every message names what is there.
  file.Name = ResolvePath(DataDir + "\\" + Name);
  file.Exists = FileExists(file.Name);
  return file;
}

TTemplateFiles LocateFiles(const std::string& DataDir, int TplNo) {
  TTemplateFiles files;
  files.Number = TTemplateNumber(TplNo).ZeroFilled();
  files.Dsc = Locate(DataDir, "MNGR" + files.Number + ".DSC");
  files.Dsx = Locate(DataDir, "MNGR" + files.Number + ".DSX");
  files.Qmd = Locate(DataDir, "MGRDT" + files.Number + ".QMD");
  files.Qmx = Locate(DataDir, "MGRDT" + files.Number + ".QMX");
  files.Grid = Locate(DataDir, "Grid" + files.Number + ".FMT");
  return files;
}

// The name a previous generation goes back to: its own spelling with the
// generation mark turned back into the current file's last letter.
std::string CurrentGeneration(const std::string& Backup, char Last) {
  std::string name = Backup;
  const char mark = name.back();
  name.back() = (mark >= 'a' && mark <= 'z') ? char(Last - 'A' + 'a') : Last;
  return name;
}

// Why the files were left as they are; thrown only before anything moved.
struct TDisagreement {
  std::string Reason;
};

// Why a step of the repair failed, after earlier steps were done.
struct TStepFailure {
  std::string Reason;
};

std::string Count(uint32_t Records) { return IntToStr(int64_t(Records)) + (Records == 1 ? " record" : " records"); }

// Opens File through the engine, which puts back what an unfinished
// transaction of a killed process left in it, reads its record count and
// closes it again.
void CountRecords(TFile& File) {
  TWinBtr engine;
  const int16_t status = CallStatus(engine, [&] {
    engine.Open(File.Name, {}, NormalMode);
    File.Records = engine.RecordCount();
    engine.Close();
  });
  if (status != BtrStatus::Success)
    throw TDisagreement{"The file " + File.Name + " could not be opened.\r" + BtrStatusTail(status)};
}

// The master file, open through the engine to ask for template numbers.
class TMasterProbe {
public:
  explicit TMasterProbe(const std::string& DataDir) : name_(DataDir + "\\master.dsc") {
    status_ = CallStatus(engine_, [&] { engine_.Open(name_, {}, NormalMode); });
  }
  bool Opened() const { return status_ == BtrStatus::Success; }
  std::string Failure() const { return "The file " + name_ + " could not be opened.\r" + BtrStatusTail(status_); }
  bool HasRecord(int TplNo) {
    static constexpr auto NumberKeyNo = static_cast<int8_t>(MasterKeySegments[2].KeyNo);
    const std::string key = MasterNumberKey(TTemplateNumber(TplNo));
    return CallStatus(engine_, [&] { engine_.GetEqual(key.data(), NumberKeyNo, uint8_t(key.size())); }) ==
           BtrStatus::Success;
  }

private:
  std::string name_;
  TWinBtr engine_;  // closes the file when it goes
  int16_t status_ = 0;
};

bool HasMasterRecord(const std::string& DataDir, int TplNo) {
  TMasterProbe master(DataDir);
  if (!master.Opened()) throw TDisagreement{master.Failure()};
  return master.HasRecord(TplNo);
}

void NeedEmpty(const TFile& File) {
  if (File.Exists && File.Records > 0)
    throw TDisagreement{"The data file " + File.Name + " holds " + Count(File.Records) +
                        " although the save that made it did not finish."};
}

// The repair, decided in full before the first file changes.
struct TStep {
  enum { Delete, MoveBack } Kind;
  std::string Name, To;
};
using TPlan = std::vector<TStep>;

void AddDelete(TPlan& Plan, const TFile& File) {
  if (File.Exists) Plan.push_back({TStep::Delete, File.Name, ""});
}
void AddMoveBack(TPlan& Plan, const TFile& Backup, char Last) {
  if (Backup.Exists) Plan.push_back({TStep::MoveBack, Backup.Name, CurrentGeneration(Backup.Name, Last)});
}

void Open(TFile& File) {
  if (File.Exists) CountRecords(File);
}

// A new record-manager file is written under a hidden name beside its own,
// "." + name + "." + process + "-" + count, and renamed into place; a create
// killed meanwhile leaves it (and its journal) behind. The process that
// began it, from the part after Name's; 0 when Rest is no such part.
long HiddenCreator(std::string_view Rest) {
  if (Rest.ends_with("-journal")) Rest.remove_suffix(8);
  const size_t dash = Rest.find('-');
  const auto digits = [](std::string_view t) {
    return !t.empty() && t.size() <= 9 && t.find_first_not_of("0123456789") == std::string_view::npos;
  };
  if (dash == std::string_view::npos || !digits(Rest.substr(0, dash)) || !digits(Rest.substr(dash + 1))) return 0;
  return std::stol(std::string(Rest.substr(0, dash)));
}

// The hidden files of File's unfinished creates whose process is gone. Under
// the exclusive lock no save of the template runs; the process check keeps
// what another program is still writing.
void AddHiddenLeftovers(TPlan& Plan, const std::string& DataDir, const TFile& File) {
  const std::string name = ExtractFileName(File.Name);
  for (const FileEntry& entry : FindFiles(DataDir + "\\." + name + ".*")) {
    const long creator = HiddenCreator(std::string_view(entry.Name).substr(name.size() + 2));
    if (creator != 0 && !ProcessRuns(creator))
      Plan.push_back({TStep::Delete, ResolvePath(DataDir + "\\" + entry.Name), ""});
  }
}

// The numbers of templates with a hidden file of a create beside their
// descriptor's or data file's name, whether or not that file exists.
TTemplateNumberSet HiddenLeftoverNumbers(const std::string& DataDir) {
  TTemplateNumberSet numbers;
  for (const auto& [prefix, ext] : {std::pair<std::string, std::string>{"MNGR", ".DSC"}, {"MGRDT", ".QMD"}}) {
    for (const FileEntry& entry : FindFiles(DataDir + "\\." + prefix + "*")) {
      const std::string_view name(entry.Name);
      const size_t at = 1 + prefix.size();
      const size_t dot = at + 3 + ext.size();
      TTemplateNumber number;
      if (name.size() > dot && name[dot] == '.' && AnsiSameText(name.substr(at + 3, ext.size()), ext) &&
          TTemplateNumber::TryParse(name.substr(at, 3), number) && HiddenCreator(name.substr(dot + 1)) != 0)
        numbers.set(size_t(number.Value()));
    }
  }
  return numbers;
}

TPlan Decide(const std::string& DataDir, int TplNo, TTemplateFiles& f) {
  TPlan plan;
  for (TFile* file : {&f.Dsc, &f.Dsx, &f.Qmd, &f.Qmx}) Open(*file);
  AddHiddenLeftovers(plan, DataDir, f.Dsc);
  AddHiddenLeftovers(plan, DataDir, f.Qmd);
  if (f.Dsx.Exists && f.Dsc.Exists && f.Dsc.Records > 0) {
    // Committed: the new generation is whole once its data file holds every
    // record the previous one did.
    if (f.Qmx.Exists && !f.Qmd.Exists)
      throw TDisagreement{"The data file " + f.Qmd.Name + " is missing beside its previous generation " + f.Qmx.Name +
                          "."};
    if (f.Qmx.Exists && f.Qmd.Records != f.Qmx.Records)
      throw TDisagreement{"The data file " + f.Qmd.Name + " holds " + Count(f.Qmd.Records) +
                          ", its previous generation " + f.Qmx.Name + " " + Count(f.Qmx.Records) + "."};
    AddDelete(plan, f.Qmx);
    AddDelete(plan, f.Grid);
    AddDelete(plan, f.Dsx);
  } else if (f.Dsx.Exists) {
    // Not committed: both previous generations go back.
    if (f.Qmx.Exists) NeedEmpty(f.Qmd);
    AddDelete(plan, f.Dsc);
    AddMoveBack(plan, f.Dsx, 'C');
    if (f.Qmx.Exists) {
      AddDelete(plan, f.Qmd);
      AddMoveBack(plan, f.Qmx, 'D');
    }
  } else if (f.Qmx.Exists) {
    // Stopped between the data and the descriptor: the data goes back.
    NeedEmpty(f.Qmd);
    AddDelete(plan, f.Qmd);
    AddMoveBack(plan, f.Qmx, 'D');
  } else if ((f.Dsc.Exists ? f.Dsc.Records == 0 : f.Qmd.Exists) && !HasMasterRecord(DataDir, TplNo)) {
    // A new template's files, never committed: an empty descriptor, or a
    // data file made before its descriptor was begun.
    NeedEmpty(f.Qmd);
    AddDelete(plan, f.Qmd);
    AddDelete(plan, f.Dsc);
  }
  return plan;
}

void Carry(const TStep& Step) {
  if (Step.Kind == TStep::Delete) {
    // Gone already (a journal goes with its file): nothing left to do.
    if (FileExists(Step.Name) && !DeleteFile(Step.Name)) throw TStepFailure{"Unable to delete " + Step.Name + "."};
  } else if (!RenameFile(Step.Name, Step.To)) {
    throw TStepFailure{"Unable to rename " + Step.Name + "\rto " + Step.To + "."};
  }
}

std::string Head(const TTemplateFiles& Files) {
  return "Template " + Files.Number + " was left unfinished by a save that did not end";
}

std::string FileList(const TTemplateFiles& Files) {
  std::string list;
  for (const TFile* file : {&Files.Dsc, &Files.Dsx, &Files.Qmd, &Files.Qmx, &Files.Grid}) {
    if (file->Exists) list += "\r" + file->Name;
  }
  return list;
}

bool Fail(const std::string& Text) {
  MessageDlg(Text + ContactMsg, mtError, mbOKOnly, 0);
  return false;
}

}  // namespace

bool TemplateBackupExists(const std::string& DataDir, int TplNo) {
  // Asked before every descriptor read: one listing of the folder answers
  // for both names, where resolving each missing name would list it again.
  const std::string number = TTemplateNumber(TplNo).ZeroFilled();
  const std::string descriptor = "MNGR" + number + ".DSX";
  const std::string data = "MGRDT" + number + ".QMX";
  for (const FileEntry& entry : FindFiles(DataDir + "\\M*" + number + ".*X")) {
    if (entry.Attr & faDirectory) continue;
    const std::string name = AnsiUpperCase(entry.Name);
    if (name == descriptor || name == data) return true;
  }
  return false;
}

bool RecoverTemplateLocked(const std::string& DataDir, int TplNo) {
  TTemplateFiles files = LocateFiles(DataDir, TplNo);
  std::string reason;
  if (!BtrLoadEngine(reason, 255)) {
    return Fail(Head(files) + ", and the record manager could not be started:\r" + reason +
                "\r\rNothing was deleted or moved.");
  }
  TPlan plan;
  try {
    plan = Decide(DataDir, TplNo, files);
  } catch (const TDisagreement& d) {
    return Fail(Head(files) + ", and its files do not agree:" + FileList(files) + "\r\r" + d.Reason +
                "\r\rNothing was deleted or moved.");
  }
  try {
    for (const TStep& step : plan) Carry(step);
  } catch (const TStepFailure& s) {
    return Fail(Head(files) + ", and its files could not all be put back:\r\r" + s.Reason +
                "\r\rWhat had not been done yet was left as it was.");
  }
  return true;
}

bool RecoverTemplate(const std::string& DataDir, int TplNo, const std::string& FileName, const std::string& LockMsg) {
  const TSaveLock lock = AcquireSaveLock(DataDir, TplNo, TSaveLockMode::Exclusive, FileName, LockMsg);
  return RecoverTemplateLocked(DataDir, TplNo);
}

bool AcquireSharedAfterRecovery(const std::string& DataDir, int TplNo, const std::string& FileName,
                                const std::string& LockMsg, TSaveLock& Lock) {
  Lock.Release();
  for (;;) {
    Lock = AcquireSaveLock(DataDir, TplNo, TSaveLockMode::Shared, FileName, LockMsg);
    // Held shared, no save runs: a backup now is one a save left as it died.
    // Looked for once per read, under the lock, since readers that scan
    // every template ask for each one.
    if (!TemplateBackupExists(DataDir, TplNo)) return true;
    Lock.Release();
    if (!RecoverTemplate(DataDir, TplNo, FileName, LockMsg)) return false;
  }
}

void RecoverTemplatesAtStartup(const std::string& DataDir) {
  // The master's probe and every count open files through the record
  // manager; unloaded, each open would fail and every template be passed
  // over. When it cannot be loaded the master's own open says so next.
  std::string reason;
  if (!BtrLoadEngine(reason, 255)) return;
  const TTemplateNumberSet withFiles = TemplateFilesInFolder(DataDir);
  const TTemplateNumberSet hidden = HiddenLeftoverNumbers(DataDir);
  std::optional<TMasterProbe> master;
  for (int n = 0; n <= MaxTemplateNumber; ++n) {
    if (!withFiles.test(size_t(n)) && !hidden.test(size_t(n))) continue;
    if (!hidden.test(size_t(n)) && !TemplateBackupExists(DataDir, n)) {
      // Only a descriptor or data file without a master record can be a new
      // template's leftover; the master is read once, and without it
      // nothing is.
      if (!master) master.emplace(DataDir);
      if (!master->Opened() || master->HasRecord(n)) continue;
    }
    // A held lock is a save under way elsewhere: its files are its own.
    const TSaveLock lock = TryAcquireSaveLock(DataDir, n, TSaveLockMode::Exclusive);
    if (lock.Held()) RecoverTemplateLocked(DataDir, n);
  }
}
