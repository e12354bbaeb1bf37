#include "entry/linked_children.h"

#include "platform/text.h"

void TLinkedChildren::RegisterOwnEntry(const std::string& OwnName, int Top, int Left) {
  if (OwnEntryRegistered) return;
  ChildApps[0] = {OwnName, Top, Left, false, true};
  OwnEntryRegistered = true;
}

int TLinkedChildren::FindEntry(const std::string& Name) const {
  const std::string wanted = Trim(Name);
  for (int i = 1; i <= ChildIdx + 1 && i <= MaxChildApps; ++i)
    if (Trim(ChildApps[size_t(i)].TplName) == wanted) return i;
  return 0;
}

TChildStart TLinkedChildren::Decide(const std::string& Name) const {
  if (const int entry = FindEntry(Name)) {
    const int button = FindButton(Name);
    // An entry without its button (a caption another instance's notice put
    // there first) cannot be told ended: it counts as running.
    const bool ended = button >= 0 ? ChildButtons[size_t(button)].Ended : !ChildApps[size_t(entry)].InUse;
    return ended ? TChildStart::Revive : TChildStart::AlreadyRunning;
  }
  return ChildIdx >= MaxChildApps - 1 ? TChildStart::TooMany : TChildStart::Start;
}

void TLinkedChildren::Started(const std::string& Name, TChildStart How, int Top, int Left) {
  if (How == TChildStart::Revive) {
    const int button = FindButton(Name);
    if (button >= 0) ChildButtons[size_t(button)].Ended = false;
    if (const int entry = FindEntry(Name)) ChildApps[size_t(entry)].InUse = true;
    return;
  }
  if (How != TChildStart::Start) return;
  AddButton(Name);
  if (ChildIdx + 1 <= MaxChildApps) ChildApps[size_t(ChildIdx + 1)] = {Name, Top, Left, true, true};
}

bool TLinkedChildren::AddButton(const std::string& Name) {
  if (FindButton(Name) >= 0 || ChildIdx >= MaxChildApps - 1) return false;
  ++ChildIdx;
  ChildButtons[size_t(ChildIdx)] = {Trim(Name), false};
  return true;
}

int TLinkedChildren::FindButton(const std::string& Name) const {
  const std::string caption = Trim(Name);
  for (int i = 0; i <= ChildIdx; ++i)
    if (ChildButtons[size_t(i)].Caption == caption) return i;
  return -1;
}

bool TLinkedChildren::MarkEnded(const std::string& Name) {
  const int button = FindButton(Name);
  if (button < 0) return false;
  ChildButtons[size_t(button)].Ended = true;
  if (const int entry = FindEntry(Name)) ChildApps[size_t(entry)].InUse = false;
  return true;
}

std::vector<TLinkedChildren::TNotice> TLinkedChildren::Notices() const {
  std::vector<TNotice> notices;
  for (int i = 0; i <= ChildIdx + 1 && i <= MaxChildApps; ++i) {
    const TChildApp& app = ChildApps[size_t(i)];
    notices.push_back({app.TplName, app.InUse ? "LIVE" : "DEAD"});
  }
  return notices;
}

TLinkedChildren& LinkedChildren() {
  static TLinkedChildren children;
  return children;
}

void ResetLinkedChildren() { LinkedChildren() = TLinkedChildren(); }

std::vector<std::string> ChildArguments(const std::string& WorkDateStr, const std::string& TplNumber,
                                        const TChildValues& Values) {
  std::vector<std::string> args;
  for (const std::string* value : {&WorkDateStr, &TplNumber, &Values.ClientCode, &Values.ClientName,
                                   &Values.CaseCode, &Values.EmployeeCode}) {
    const std::string trimmed = Trim(*value);
    args.push_back(trimmed.empty() ? " " : trimmed);
  }
  args.push_back("1");
  return args;
}
