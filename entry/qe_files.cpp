#include "entry/qe_files.h"

#include "templates/validation_files.h"

#include <functional>
#include <vector>

TDynCharArr QClientRec;
TDynCharArr QCaseRec;
TDynCharArr QEmpRec;
TDynCharArr QGroupRec;
TDynCharArr QNarrRec;
bool QEFRunning = false;
bool QEFRequested = false;

void ResetQuickEntryState() {
  for (TDynCharArr* rec : {&QClientRec, &QCaseRec, &QEmpRec, &QGroupRec, &QNarrRec}) rec->clear();
  QEFRunning = false;
  QEFRequested = false;
}

namespace {

struct TQeOpener {
  uint8_t FileNo;
  std::function<void()> Open;
};

std::string OpenAll(const std::vector<TQeOpener>& Openers) {
  std::vector<uint8_t> opened;
  try {
    for (const TQeOpener& opener : Openers) {
      if (BtrIsFileOpen(opener.FileNo)) continue;
      opener.Open();
      opened.push_back(opener.FileNo);
    }
  } catch (const EBtrAbort& e) {
    for (uint8_t fileNo : opened) {
      try {
        BtrCloseFile(fileNo);
      } catch (const EBtrAbort&) {
        // The opener's text is what the user needs to see.
      }
    }
    return e.what();
  }
  return "";
}

}  // namespace

std::string OpenQuickEntryFiles() {
  return OpenAll({{QClientFileNo, [] { OpenClientFile(QClientFileNo, QClientRec); }},
                  {QCaseFileNo, [] { OpenCaseFile(QCaseFileNo, QCaseRec); }},
                  {QEmpFileNo, [] { OpenEmployeeFile(QEmpFileNo, QEmpRec); }},
                  {QGroupFileNo, [] {
                     OpenYTableFile(QGroupFileNo, QGroupRec);
                     BtrSetKeyNumber(QGroupFileNo, 5);
                   }}});
}

std::string OpenNarrativeFile() {
  return OpenAll({{QNarrFileNo, [] { OpenYTableFile(QNarrFileNo, QNarrRec); }}});
}

void CloseQuickEntryFiles() {
  for (uint8_t fileNo : {QClientFileNo, QCaseFileNo, QEmpFileNo, QGroupFileNo, QNarrFileNo})
    if (BtrIsFileOpen(fileNo)) BtrCloseFile(fileNo);
}

std::string LeftJustified(std::string_view S, size_t N) {
  std::string out(S.substr(0, N));
  out.resize(N, ' ');
  return out;
}

std::string RightJustified(std::string_view S, size_t N) {
  if (S.size() >= N) return std::string(S.substr(S.size() - N));
  return std::string(N - S.size(), ' ') + std::string(S);
}
