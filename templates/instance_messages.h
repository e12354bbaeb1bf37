// The messages one instance sends the others and the hub: status reports on
// "CV_Message_Status", commands to child instances on
// "CV_Message_MNGR_Command", grid actions on "CV_Grid_Action". Each is a
// fixed-width text, formatted, never cut: a name over 30 characters or a
// number over 4 digits moves every later field.
//
//   status, codes 6-13   "%-30s%1s%-4s%-4s%8s"             name, letter, N1, N2, MsgSeqNo (47)
//   status, code 5 "U"   "%-30s%1s%-7s%-7s%-4s"            name, "U", client, case, employee codes
//   command              "%-30s%1s%-4s%-4s%8s%-72s%-20s"   name, Cmd, N1, N2, MsgSeqNo, Text72, Extra20 (139)
//   grid action          "%-30s%1s%-72s%-20s"              name, Cmd, Text72, Extra20 (123)
//
// Status letters by code: 5 U, 6 S, 7 L, 8 X, 9 I, 10 T, 11 V, 12 P, 13 Q.
// A code below 5 sends nothing; above 13, and 11 with the trimmed name "-",
// the text is the name alone. Every message, whatever its kind, first adds
// one to MsgSeqNo.
//
// Sending broadcasts to every instance, this one included (its handler runs
// before the call returns), and waits for no other process. UI thread only.
#pragma once

#include "platform/window_messages.h"

#include <string>
#include <string_view>

// Registered on first use; the same ids whoever registers the names.
UINT MsgStatus();
UINT MsgMngrCommand();
UINT MsgGridAction();

extern int MsgSeqNo;
// Leaves a line per status and command message on the clipboard.
extern bool TraceMsgs;

// The codes the entry screen shows, carried by status "U".
struct StatusUCodes {
  std::string ClientCode;    // 7
  std::string CaseCode;      // 7
  std::string EmployeeCode;  // 4
  bool operator==(const StatusUCodes&) const = default;
};
extern StatusUCodes MsgStatusUCodes;

// Each returns true when the message went out. A text the atom table cannot
// hold (over 255 bytes, or empty) is logged and not sent.
//
// After status "I" (code 9, an instance closing) with no hub on the bus,
// command "I" follows for the same name, so that the instance that started
// this one can mark it ended, as the hub would have had it told.
bool SendHubMessage(int Code, const std::string& Name, int N1, int N2);
bool SendChildMessage(const std::string& Name, const std::string& Cmd, int N1, const std::string& Extra20,
                      const std::string& Text72, int N2);
bool SendChildNotice(const std::string& Name, const std::string& Cmd, const std::string& Text72,
                     const std::string& Extra20);

// Back to the start: MsgSeqNo 0, trace off, no codes (tests).
void ResetInstanceMessages();

// The receiving side: what a message's text says, by 1-based position.
//   1-30   the sender's template name (trimmed here)
//   31     the command letter
//   32-38, 39-45, 46-49   a status "U"'s client, case and employee codes
//   48-51  the liveness word of a command "+" ("LIVE")
//   52     its focus letter ("F")
// Positions past the end of a short text read as blanks; the codes keep
// their widths (7, 7, 4). Bytes are taken as they stand (Windows-1252).
enum class InstanceMessageKind { Status, MngrCommand, GridAction, Other };

struct DecodedInstanceMessage {
  InstanceMessageKind Kind = InstanceMessageKind::Other;
  std::string Name;
  char Command = ' ';
  StatusUCodes Codes;
  std::string Liveness;  // 4
  char FocusLetter = ' ';
  bool operator==(const DecodedInstanceMessage&) const = default;
};

// Kind is the message id: one of MsgStatus(), MsgMngrCommand(),
// MsgGridAction(), else Other.
DecodedInstanceMessage DecodeInstanceMessage(UINT Kind, std::string_view Text);
