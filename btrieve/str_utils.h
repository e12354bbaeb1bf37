// Small routines on short texts, null-terminated texts and raw byte runs,
// used to prepare key buffers, file names and numbers. A short text holds at
// most 255 bytes; every short-text result is cut there. Raw runs are pointer
// plus length and may hold zero bytes anywhere.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

constexpr size_t MaxShortText = 255;

// The digits, "+", "-" and "." of S, in order ("1,234.50-" -> "1234.50-").
std::string NumericChars(std::string_view S);

// The Len bytes at P without leading and trailing bytes <= 0x20.
std::string TrimToStr(const void* P, size_t Len);
// TrimToStr with a zero byte appended (inside the 255 bytes), so the result
// can be handed on as a null-terminated text.
std::string TrimToStrZ(const void* P, size_t Len);

// N bytes compared unsigned from the first: -1, 0 or 1; 0 for N = 0.
int CompareBytes(const void* A, const void* B, size_t N);

// Appends C while S has room (fewer than 255 bytes).
void AppendChar(std::string& S, char C);

// Path with a trailing "\" unless it already ends with a separator.
std::string AddBackslash(std::string_view Path);

void ZeroFill(void* P, size_t Len);

// Len copies of C (a long text, not cut).
std::string CharString(char C, size_t Len);

// True when every one of the Len bytes is zero, and for Len = 0.
bool IsAllZero(const void* P, size_t Len);

// S without any C.
std::string RemoveChar(std::string_view S, char C);

// Every byte Old among the Len bytes becomes New.
void ReplaceChar(void* P, size_t Len, char Old, char New);

// As ReplaceChar, but bytes from a Quote up to the next Quote stay; an
// unclosed quote protects the rest.
void ReplaceCharOutsideQuotes(void* P, size_t Len, char Old, char Quote, char New);

// True when the name (up to its first zero byte) holds ":", "\" or "/", or
// with AllowDot a ".".
bool IsPathName(std::string_view Name, bool AllowDot);

int MinInt(int A, int B);

// Replaces the first Old in the null-terminated text of Buf by New (removes
// it when New is null) and keeps at most Size bytes of the result before its
// terminator. False, and Buf untouched, when Old is empty or absent.
// REQUIRES: Buf holds Size + 1 bytes.
bool StrReplace(char* Buf, const char* Old, const char* New, size_t Size);

// Ends the text at its first C; P itself (null stays null).
char* StrCutAt(char* P, char C);

// The user the program runs as, at most 255 bytes.
std::string GetNetUserName();
