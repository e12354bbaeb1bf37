// Ending a save of a template's files: the running transaction rolled back,
// one message, then a silent abort that unwinds to the event loop.
//
// A rollback that fails must not take the place of the message being
// reported: AbortBuild never raises, it hands the rollback's own failure
// back so that the caller can add it to what it shows.
#pragma once

#include <string>

// EAbort without a text: the caller's handler shows nothing for it.
[[noreturn]] void SilentAbort();

// Rolls back the transaction while InTrans is set, and clears InTrans; the
// engine is not called otherwise. "" when nothing failed, else the text of
// the failed rollback.
std::string AbortBuild(bool& InTrans);

// AbortBuild, then Text (with the rollback's failure behind it, if any) in
// an error box with OK, then SilentAbort. Rolling back before the box lets
// other workstations go on while the message waits for its click.
[[noreturn]] void EndBuild(const std::string& Text, bool& InTrans);
