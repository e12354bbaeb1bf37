#include "btrieve/str_utils.h"

#include "platform/paths.h"
#include "platform/session.h"
#include "platform/text.h"

#include <algorithm>
#include <cstring>

namespace {

std::string Short(std::string text) {
  if (text.size() > MaxShortText) text.resize(MaxShortText);
  return text;
}

std::string_view Bytes(const void* p, size_t len) {
  return len == 0 ? std::string_view() : std::string_view(static_cast<const char*>(p), len);
}

}  // namespace

std::string NumericChars(std::string_view S) {
  std::string r;
  for (char c : S)
    if ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.') r += c;
  return Short(std::move(r));
}

std::string TrimToStr(const void* P, size_t Len) {
  // Trim the whole run first so leading blanks never push text past the cut,
  // then again at the right in case the cut falls inside blanks.
  return TrimRight(Short(Trim(Bytes(P, Len))));
}

std::string TrimToStrZ(const void* P, size_t Len) {
  std::string r = TrimToStr(P, Len);
  if (r.size() == MaxShortText) r.pop_back();
  r += '\0';
  return r;
}

int CompareBytes(const void* A, const void* B, size_t N) {
  if (N == 0) return 0;
  const int c = std::memcmp(A, B, N);
  return (c > 0) - (c < 0);
}

void AppendChar(std::string& S, char C) {
  if (S.size() < MaxShortText) S += C;
}

std::string AddBackslash(std::string_view Path) {
  return Short(IncludeTrailingBackslash(std::string(Path)));
}

void ZeroFill(void* P, size_t Len) {
  if (Len) std::memset(P, 0, Len);
}

std::string CharString(char C, size_t Len) { return std::string(Len, C); }

bool IsAllZero(const void* P, size_t Len) {
  const std::string_view bytes = Bytes(P, Len);
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

std::string RemoveChar(std::string_view S, char C) {
  std::string r;
  for (char c : S)
    if (c != C) r += c;
  return Short(std::move(r));
}

void ReplaceChar(void* P, size_t Len, char Old, char New) {
  char* bytes = static_cast<char*>(P);
  std::replace(bytes, bytes + Len, Old, New);
}

void ReplaceCharOutsideQuotes(void* P, size_t Len, char Old, char Quote, char New) {
  char* bytes = static_cast<char*>(P);
  bool quoted = false;
  for (size_t i = 0; i < Len; ++i) {
    if (bytes[i] == Quote)
      quoted = !quoted;
    else if (!quoted && bytes[i] == Old)
      bytes[i] = New;
  }
}

bool IsPathName(std::string_view Name, bool AllowDot) {
  const std::string_view name = Name.substr(0, Name.find('\0'));
  return name.find_first_of(AllowDot ? ":\\/." : ":\\/") != std::string_view::npos;
}

int MinInt(int A, int B) { return std::min(A, B); }

bool StrReplace(char* Buf, const char* Old, const char* New, size_t Size) {
  if (!Buf || !Old || !*Old) return false;
  std::string text(Buf, strnlen(Buf, Size));
  const size_t at = text.find(Old);
  if (at == std::string::npos) return false;
  text.replace(at, std::strlen(Old), New ? New : "");
  text.resize(std::min(text.size(), Size));
  std::memcpy(Buf, text.data(), text.size());
  Buf[text.size()] = '\0';
  return true;
}

char* StrCutAt(char* P, char C) {
  if (P) {
    if (char* at = std::strchr(P, C)) *at = '\0';
  }
  return P;
}

std::string GetNetUserName() { return Short(GetUserName()); }
