#include "btrieve/engine_errors.h"

#include "btrieve/status_text.h"
#include "platform/format.h"

#include <algorithm>
#include <iterator>

namespace {

std::string Cut(std::string_view text, size_t maxLen) {
  return std::string(text.substr(0, maxLen));
}

struct CodeName {
  uint16_t Code;
  const char* Name;
};

// The engine codes with a name of their own.
constexpr CodeName CodeNames[] = {
    {ecNone, "NONE"},
    {ecBOF, "BOF"},
    {ecEOF, "EOF"},
    {ecNoCurrRec, "NOCURRREC"},
    {ecRecNotFound, "RECNOTFOUND"},
    {ecDriverLimit, "DRIVERLIMIT"},
    {ecInvalidParam, "INVALIDPARAM"},
    {ecInvalidHndl, "INVALIDHNDL"},
    {ecNoSuchIndex, "NOSUCHINDEX"},
    {ecInvalidRecStruct, "INVALIDRECSTRUCT"},
    {ecInvalidIndexName, "INVALIDINDEXNAME"},
    {ecNoSuchTable, "NOSUCHTABLE"},
    {ecNoSuchFilter, "NOSUCHFILTER"},
    {ecInvalidTableCreate, "INVALIDTABLECREATE"},
    {ecNA, "NA"},
    {ecNotIndexed, "NOTINDEXED"},
    {ecNotSupported, "NOTSUPPORTED"},
};

}  // namespace

// Searched from the start: the second pair for status 9 is never reached,
// and the Scalable SQL statuses -101 to -107 and -110 to -116 give code 0.
const TCodePair BtrieveCodePairs[65] = {
    {0, 0},          {1, 0x2702},     {2, 0x2401},     {3, 0x2401},     {4, 0x2206},
    {5, 0x2A10},     {6, 0x270D},     {7, 0x2726},     {8, 0x2205},     {9, 0x2202},
    {9, 0x2201},     {10, 0x2601},    {11, 0x2703},    {12, 0x2704},    {13, 0x2708},
    {14, 0x2708},    {15, 0x2401},    {16, 0x2402},    {17, 0x2732},    {18, 0x2503},
    {19, 0x2103},    {20, 0x2A06},    {35, 0x2722},    {42, 0x280C},    {47, 0x2502},
    {51, 0x271F},    {66, 0x2511},    {78, 0x280F},    {80, 0x2803},    {81, 0x2801},
    {82, 0x2205},    {84, 0x2801},    {85, 0x2803},    {86, 0x250B},    {87, 0x2506},
    {88, 0x2731},    {91, 0x2B66},    {101, 0x2501},   {130, 0x2517},   {133, 0x2729},
    {204, 0x2728},   {205, 0x271F},   {206, 0x2506},   {209, 0x2734},   {211, 0x2505},
    {231, 0x2713},   {285, 0x2A0E},   {348, 0x271E},   {538, 0x2727},   {2120, 0x250E},
    {-101, 0},       {-102, 0},       {-103, 0},       {-104, 0},       {-105, 0},
    {-106, 0},       {-107, 0},       {-109, 0x2202},  {-110, 0},       {-111, 0},
    {-112, 0},       {-113, 0},       {-114, 0},       {-115, 0},       {-116, 0},
};

uint16_t LookupCodePair(const TCodePair* Table, size_t N, int Key) {
  for (size_t i = 0; i < N; ++i)
    if (Table[i].Status == Key) return Table[i].Code;
  return static_cast<uint16_t>(Key);
}

uint16_t BtrieveStatusCode(int Status) {
  return LookupCodePair(BtrieveCodePairs, std::size(BtrieveCodePairs), Status);
}

std::string EngineErrorText(uint16_t Code, size_t MaxLen) {
  for (const CodeName& entry : CodeNames)
    if (entry.Code == Code) return Cut(std::string("DBIERR_") + entry.Name, MaxLen);
  return Cut(Format("Orrin (BDE) Error %d.", Code), MaxLen);
}

EOrrinEngineError::EOrrinEngineError(uint16_t code, std::string_view msg)
    : EAbort(), Code(code), Msg(Cut(msg, MaxErrorText)) {
  ComposeMessage();
}

std::string EOrrinEngineError::GetExtraText() const { return {}; }

void EOrrinEngineError::ComposeMessage() {
  if (!Msg.empty()) {
    Message = Msg;
    return;
  }
  Message = GetExtraText();
  if (Message.empty()) Message = EngineErrorText(Code);
}

EBtrieveEngineError::EBtrieveEngineError(int status, std::string_view key)
    : EOrrinEngineError(BtrieveStatusCode(status)),
      KeyText(Cut(key, MaxErrorText)),
      KeyLen(static_cast<uint16_t>(KeyText.size())) {
  NativeError = status;
  ComposeMessage();
}

std::string EBtrieveEngineError::GetExtraText() const {
  const std::string statusText = BtrieveStatusText(NativeError);
  std::string text = statusText.empty()
                         ? Format("Btrieve Error %d.", NativeError)
                         : Format("Btrieve Status %d - %s", NativeError, statusText) + ".";
  if (KeyLen > 0) text += "\r\nKey=[" + KeyText + "]";
  return text;
}

void RaiseEngineError(uint16_t Code) { throw EOrrinEngineError(Code); }

void RaiseEngineErrorMsg(uint16_t Code, std::string_view Msg) { throw EOrrinEngineError(Code, Msg); }

void RaiseEOF() { throw EOrrinEOFError(); }

void RaiseBOF() { throw EOrrinBOFError(); }

void RaiseNotSupported(int /*ResId: its text is empty*/) { RaiseEngineErrorMsg(ecNotSupported, {}); }

void NotSupported(int ResId) { RaiseNotSupported(ResId); }

void RaiseBtrieveError(int Status) { RaiseBtrieveErrorKey(Status, {}); }

void RaiseBtrieveErrorKey(int Status, std::string_view Key) {
  if (Status == 9) RaiseEOF();
  throw EBtrieveEngineError(Status, Key);
}

void CheckCondition(bool Cond, uint16_t Code) {
  if (!Cond) RaiseEngineError(Code);
}

TErrorStack::TErrorStack(uint16_t Capacity) : capacity_(std::min(Capacity, MaxCapacity)) {}

void TErrorStack::Clear() { entries_.clear(); }

void TErrorStack::PushException(const EOrrinEngineError& E) {
  if (capacity_ == 0) return;
  if (entries_.size() == capacity_) entries_.pop_back();
  entries_.insert(entries_.begin(),
                  TErrorEntry{E.NativeError, E.GetExtraText(), E.Code, EngineErrorText(E.Code), E.Msg});
}

bool TErrorStack::GetEntry(unsigned N, TErrorEntry& Entry) const {
  if (N < 1 || N > entries_.size()) return false;
  Entry = entries_[N - 1];
  return true;
}
