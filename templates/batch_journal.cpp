#include "templates/batch_journal.h"

#include "platform/text.h"
#include "templates/batch_codec.h"

#include <vector>

namespace {

constexpr std::string_view LineEnd = "\r\n";

const char* StateName(TBatchJournalState State) {
  switch (State) {
    case TBatchJournalState::Prepared:
      return "PREPARED";
    case TBatchJournalState::Committed:
      return "COMMITTED";
    case TBatchJournalState::Erasing:
      break;
  }
  return "ERASING";
}

}  // namespace

std::string FormatBatchJournal(const TBatchJournal& Journal) {
  std::string text = std::string(StateName(Journal.State)) + std::string(LineEnd);
  if (Journal.State != TBatchJournalState::Erasing)
    text += IntToHex(Journal.Backup, 3) + std::string(LineEnd) + Journal.Folder + std::string(LineEnd);
  return text;
}

bool ParseBatchJournal(std::string_view Text, TBatchJournal& Journal) {
  std::vector<std::string> lines;
  while (!Text.empty()) {
    const size_t end = Text.find(LineEnd);
    if (end == std::string_view::npos) return false;
    lines.emplace_back(Text.substr(0, end));
    Text.remove_prefix(end + LineEnd.size());
  }
  TBatchJournal read;
  if (lines.size() == 1 && lines[0] == StateName(TBatchJournalState::Erasing)) {
    read.State = TBatchJournalState::Erasing;
  } else if (lines.size() == 3 && lines[1].size() == 3 && !lines[2].empty()) {
    if (lines[0] == StateName(TBatchJournalState::Prepared)) {
      read.State = TBatchJournalState::Prepared;
    } else if (lines[0] == StateName(TBatchJournalState::Committed)) {
      read.State = TBatchJournalState::Committed;
    } else {
      return false;
    }
    int number = 0;
    for (char c : lines[1]) {
      const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (digit < 0) return false;
      number = number * 16 + digit;
    }
    if (number < 1 || number > MaxBatchBackup) return false;
    read.Backup = number;
    read.Folder = lines[2];
  } else {
    return false;
  }
  Journal = read;
  return true;
}
