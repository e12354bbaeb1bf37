// The child instances an entry screen started for linked templates, and
// what starts one: the table of instances (entry 0 the screen's own
// template, 1-3 the children), the children's tool buttons as captions with
// their "ended" mark, the argument vector a child gets, and the values it
// carries. No widgets: the entry screen (entry/qt/entry_links.cpp) shows
// the buttons from here and does the starting.
//
// The table lives for the process, not for one showing of the screen: a
// child keeps running while its opener's screen is closed and opened again,
// and must then be found running, not started a second time.
#pragma once

#include <array>
#include <string>
#include <vector>

constexpr int MaxChildApps = 3;

struct TChildApp {
  std::string TplName;
  int Top = 0, Left = 0;  // of the entry screen when the entry was made
  bool IsChild = false;
  bool InUse = false;
};

// One child tool button: its caption (the trimmed template name) and
// whether it is marked indeterminate, that child having ended.
struct TChildButton {
  std::string Caption;
  bool Ended = false;
};

// What opening a linked template comes to.
enum class TChildStart {
  Start,           // a new child
  Revive,          // a child that ended, started anew in its entry
  AlreadyRunning,  // nothing started; the focus goes back
  TooMany,         // three children run already
};

class TLinkedChildren {
public:
  std::array<TChildApp, MaxChildApps + 1> ChildApps;
  std::array<TChildButton, MaxChildApps> ChildButtons;
  // The last button's index; -1 with none.
  int ChildIdx = -1;
  // Entry 0 has been written: this instance started children.
  bool OwnEntryRegistered = false;

  // Entry 0 := this screen's template, once.
  void RegisterOwnEntry(const std::string& OwnName, int Top, int Left);
  // Whether Name (trimmed) runs in entries 1..ChildIdx + 1, has ended there,
  // or may be started.
  TChildStart Decide(const std::string& Name) const;
  // After a start: a revived child's entry and button in use again; a new
  // one gets its button (AddButton) and entry ChildIdx + 1.
  void Started(const std::string& Name, TChildStart How, int Top, int Left);
  // Adds a button captioned Trim(Name); false when one already carries it
  // or all are taken.
  bool AddButton(const std::string& Name);
  // The button captioned Trim(Name); -1 when none.
  int FindButton(const std::string& Name) const;
  // The child Name has ended: its button marked, its entry not in use.
  // False when no button carries the name.
  bool MarkEnded(const std::string& Name);
  // The notices every entry 0..ChildIdx + 1 receives: the entry's name and
  // "LIVE" when in use, "DEAD" otherwise.
  struct TNotice {
    std::string Name;
    std::string State;
  };
  std::vector<TNotice> Notices() const;

private:
  // The entry (1..ChildIdx + 1) whose name is Name, 0 when none.
  int FindEntry(const std::string& Name) const;
};

// The process's table.
TLinkedChildren& LinkedChildren();
// Back to none (tests).
void ResetLinkedChildren();

// The values a child instance starts with; a blank one goes as one blank.
struct TChildValues {
  std::string ClientCode, ClientName, CaseCode, EmployeeCode;
};
// The child's arguments: work date, template number (trimmed: the child
// compares it with the stored number without leading blanks), client code,
// client name, case code, employee code, "1". Each trimmed, an empty one
// one blank; each one argument whatever it holds.
std::vector<std::string> ChildArguments(const std::string& WorkDateStr, const std::string& TplNumber,
                                        const TChildValues& Values);
