#include "templates/instance_messages.h"

#include "platform/atoms.h"
#include "platform/clipboard.h"
#include "platform/format.h"
#include "platform/instance_bus.h"
#include "platform/log.h"
#include "platform/text.h"

#include <cstdint>
#include <string_view>

int MsgSeqNo = 0;
bool TraceMsgs = false;
StatusUCodes MsgStatusUCodes;

namespace {

constexpr int kStatusClosing = 9;

// The status letters of codes 5-13; "" for codes above.
std::string StatusLetter(int code) {
  static constexpr std::string_view kLetters = "USLXITVPQ";
  return code >= 5 && code <= 13 ? std::string(1, kLetters[std::size_t(code - 5)]) : std::string();
}

void NextSeqNo() { MsgSeqNo = int(uint32_t(MsgSeqNo) + 1u); }

void Trace(const std::string& letter, std::string_view to, const std::string& name) {
  if (!TraceMsgs) return;
  SetClipboardText(ClipboardText() + "\r" + letter + " " + IntToStr(MsgSeqNo) + " (Msg to " + std::string(to) +
                   ") THROWN by " + IntToStr(MainWindowHandle()) + " for " + name);
}

// Steps 2-5 of every send: the text as an atom, the trace, the broadcast,
// the atom deleted. `trace` is empty for messages never traced.
bool Send(UINT msg, const std::string& text, const std::string& letter, std::string_view trace,
          const std::string& name) {
  const ATOM atom = GlobalAddAtom(text);
  if (atom == 0) {
    LogWarning("message " + RegisteredMessageName(msg) + " not sent: its text has " + IntToStr(text.size()) +
               " bytes, an atom holds 1-255");
    return false;
  }
  if (!trace.empty()) Trace(letter, trace, name);
  SendMessage(HWND_BROADCAST, msg, MainWindowHandle(), LPARAM(atom));
  GlobalDeleteAtom(atom);
  return true;
}

std::string HubText(int code, const std::string& name, int n1, int n2) {
  if (code == 5)
    return Format("%-30s%1s%-7s%-7s%-4s", name, "U", MsgStatusUCodes.ClientCode, MsgStatusUCodes.CaseCode,
                  MsgStatusUCodes.EmployeeCode);
  if (code > 13 || (code == 11 && Trim(name) == "-")) return name;
  return Format("%-30s%1s%-4s%-4s%8s", name, StatusLetter(code), IntToStr(n1), IntToStr(n2), IntToStr(MsgSeqNo));
}

}  // namespace

UINT MsgStatus() {
  static const UINT id = RegisterWindowMessage("CV_Message_Status");
  return id;
}

UINT MsgMngrCommand() {
  static const UINT id = RegisterWindowMessage("CV_Message_MNGR_Command");
  return id;
}

UINT MsgGridAction() {
  static const UINT id = RegisterWindowMessage("CV_Grid_Action");
  return id;
}

bool SendHubMessage(int Code, const std::string& Name, int N1, int N2) {
  if (Code < 5) return false;
  NextSeqNo();
  if (!Send(MsgStatus(), HubText(Code, Name, N1, N2), StatusLetter(Code), "HUB", Name)) return false;
  if (Code == kStatusClosing && !HubOnInstanceBus()) SendChildMessage(Name, "I", 0, "", "", 0);
  return true;
}

bool SendChildMessage(const std::string& Name, const std::string& Cmd, int N1, const std::string& Extra20,
                      const std::string& Text72, int N2) {
  NextSeqNo();
  const std::string text = Format("%-30s%1s%-4s%-4s%8s%-72s%-20s", Name, Cmd, IntToStr(N1), IntToStr(N2),
                                  IntToStr(MsgSeqNo), Text72, Extra20);
  return Send(MsgMngrCommand(), text, Cmd, "CHILD", Name);
}

bool SendChildNotice(const std::string& Name, const std::string& Cmd, const std::string& Text72,
                     const std::string& Extra20) {
  NextSeqNo();
  return Send(MsgGridAction(), Format("%-30s%1s%-72s%-20s", Name, Cmd, Text72, Extra20), Cmd, "", Name);
}

void ResetInstanceMessages() {
  MsgSeqNo = 0;
  TraceMsgs = false;
  MsgStatusUCodes = {};
}

namespace {

// Characters First..First+Count-1 (1-based) of Text, blanks past its end.
std::string Field(std::string_view Text, size_t First, size_t Count) {
  std::string field(Count, ' ');
  for (size_t i = 0; i < Count && First - 1 + i < Text.size(); ++i) field[i] = Text[First - 1 + i];
  return field;
}

InstanceMessageKind KindOf(UINT Kind) {
  if (Kind == MsgStatus()) return InstanceMessageKind::Status;
  if (Kind == MsgMngrCommand()) return InstanceMessageKind::MngrCommand;
  if (Kind == MsgGridAction()) return InstanceMessageKind::GridAction;
  return InstanceMessageKind::Other;
}

}  // namespace

DecodedInstanceMessage DecodeInstanceMessage(UINT Kind, std::string_view Text) {
  DecodedInstanceMessage m;
  m.Kind = KindOf(Kind);
  m.Name = Trim(Field(Text, 1, 30));
  m.Command = Field(Text, 31, 1)[0];
  m.Codes = {Field(Text, 32, 7), Field(Text, 39, 7), Field(Text, 46, 4)};
  m.Liveness = Field(Text, 48, 4);
  m.FocusLetter = Field(Text, 52, 1)[0];
  return m;
}
