// The engine exceptions. Every failure of the record manager and of the
// dataset library reaches its caller as one of these: a 16-bit engine code
// (class in the high byte, error in the low byte) and, for the record
// manager, its own status. All derive from EAbort, so one that nobody
// catches unwinds without a message box.
//
// A Btrieve status turns into an engine code through a fixed table searched
// from its start; a status the table lacks serves as its own code. Status 9
// (end of file) is always the end-of-file exception.
#pragma once

#include "platform/errors.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Engine codes this system raises or names.
constexpr uint16_t ecNone = 0;
constexpr uint16_t ecBOF = 0x2201;
constexpr uint16_t ecEOF = 0x2202;
constexpr uint16_t ecNoCurrRec = 0x2205;
constexpr uint16_t ecRecNotFound = 0x2206;
constexpr uint16_t ecDriverLimit = 0x2513;
constexpr uint16_t ecInvalidParam = 0x2702;
constexpr uint16_t ecInvalidHndl = 0x2706;
constexpr uint16_t ecNoSuchIndex = 0x270D;
constexpr uint16_t ecInvalidRecStruct = 0x2713;
constexpr uint16_t ecInvalidIndexName = 0x2726;
constexpr uint16_t ecNoSuchTable = 0x2728;
constexpr uint16_t ecNoSuchFilter = 0x2742;
constexpr uint16_t ecInvalidTableCreate = 0x2744;
constexpr uint16_t ecNA = 0x2A04;
constexpr uint16_t ecNotIndexed = 0x2A05;
constexpr uint16_t ecNotSupported = 0x3001;

// The longest Msg, key text and code text an exception keeps.
constexpr size_t MaxErrorText = 255;

class EOrrinEngineError : public EAbort {
public:
  // Msg is cut to 255 bytes.
  explicit EOrrinEngineError(uint16_t code, std::string_view msg = {});
  // Empty here; descendants describe their native error.
  virtual std::string GetExtraText() const;

  uint16_t Code;
  std::string Msg;
  int32_t NativeError = 0;

protected:
  // Message (and so what()) is Msg, else the extra text, else the code's
  // text: never empty. Each class whose GetExtraText differs calls it last
  // in its constructor, when the virtual call reaches its own override.
  void ComposeMessage();
};

class EOrrinBoundryError : public EOrrinEngineError {
public:
  using EOrrinEngineError::EOrrinEngineError;
};

class EOrrinEOFError : public EOrrinBoundryError {
public:
  EOrrinEOFError() : EOrrinBoundryError(ecEOF) {}
};

class EOrrinBOFError : public EOrrinBoundryError {
public:
  EOrrinBOFError() : EOrrinBoundryError(ecBOF) {}
};

class EBtrieveEngineError : public EOrrinEngineError {
public:
  // Key is bytes (a file name, or a binary key value with zero bytes), cut
  // to 255; KeyLen is the number kept.
  explicit EBtrieveEngineError(int status, std::string_view key = {});
  // "Btrieve Status <n> - <status text>." or, for a status without a text,
  // "Btrieve Error <n>."; with a key, then "\r\nKey=[<key bytes>]".
  std::string GetExtraText() const override;

  std::string KeyText;
  uint16_t KeyLen = 0;
};

// Raisers: each throws and never returns.
[[noreturn]] void RaiseEngineError(uint16_t Code);
[[noreturn]] void RaiseEngineErrorMsg(uint16_t Code, std::string_view Msg);
[[noreturn]] void RaiseEOF();
[[noreturn]] void RaiseBOF();
// Code 0x3001 with the text of the numbered message ResId; the ids in use,
// 9000 to 9125, carry no text, so the message is empty.
[[noreturn]] void RaiseNotSupported(int ResId);
[[noreturn]] void NotSupported(int ResId);
// Status 9 raises EOrrinEOFError; any other EBtrieveEngineError.
[[noreturn]] void RaiseBtrieveError(int Status);
[[noreturn]] void RaiseBtrieveErrorKey(int Status, std::string_view Key);

void CheckCondition(bool Cond, uint16_t Code);

template <class T>
T* CheckAssigned(T* P, uint16_t Code) {
  if (!P) RaiseEngineError(Code);
  return P;
}
template <class T>
T* CheckParam(T* P) { return CheckAssigned(P, ecInvalidParam); }
template <class T>
T* CheckHandle(T* P) { return CheckAssigned(P, ecInvalidHndl); }

// One row of a status-to-code table.
struct TCodePair {
  int Status;
  uint16_t Code;
};

// The 65 pairs from Btrieve status to engine code.
extern const TCodePair BtrieveCodePairs[65];

// The code of the first pair whose status is Key; a key without a pair
// serves as the code itself (its low 16 bits).
uint16_t LookupCodePair(const TCodePair* Table, size_t N, int Key);

// LookupCodePair over BtrieveCodePairs.
uint16_t BtrieveStatusCode(int Status);

// "DBIERR_" and the code's name, or "Orrin (BDE) Error <code>." for a code
// without one; cut to MaxLen bytes.
std::string EngineErrorText(uint16_t Code, size_t MaxLen = MaxErrorText);

// One engine failure as the error stack keeps it.
struct TErrorEntry {
  int32_t NativeError = 0;
  std::string ExtraText;
  uint16_t Code = 0;
  std::string CodeText;
  std::string Message;
};

// The most recent engine failures, newest first. Entry 1 is the newest; a
// push onto a full stack lets the oldest fall off.
class TErrorStack {
public:
  static constexpr uint16_t MaxCapacity = 20;

  // Capacity is cut to 20; a stack of capacity 0 keeps nothing.
  explicit TErrorStack(uint16_t Capacity);

  void Clear();
  void PushException(const EOrrinEngineError& E);
  // Copies entry N (1 = newest) when 1 <= N <= Count, else False.
  bool GetEntry(unsigned N, TErrorEntry& Entry) const;

  uint16_t Capacity() const { return capacity_; }
  uint16_t Count() const { return static_cast<uint16_t>(entries_.size()); }

private:
  uint16_t capacity_;
  std::vector<TErrorEntry> entries_;  // newest first
};
