// Code pages at the edges of the program: stored text is Windows-1252, the
// screens speak UTF-8, and the old DOS exchange files are CP437 ("OEM").
// A character the target cannot hold raises EConvertError naming it ("The
// character U+4E2D cannot be stored"); nothing is ever replaced silently.
//
// Windows-1252 leaves 0x81, 0x8D, 0x8F, 0x90 and 0x9D unassigned. They travel
// as the control characters U+0081, U+008D, U+008F, U+0090 and U+009D, as
// Windows itself maps them, so every stored byte survives a trip through
// UTF-8.
//
// Safe to call from any thread.
#pragma once

#include <string>

std::string Win1252ToUtf8(const std::string& text);
// Also raises on text that is not valid UTF-8.
std::string Utf8ToWin1252(const std::string& text);

// Text from one iconv encoding to another ("UTF-8", "ISO8859-1"): false,
// raising nothing, when the conversion is not available or a character of
// Text has no place in To or is no character of From.
bool TryConvertText(const std::string& text, const std::string& from, const std::string& to, std::string& out);

// CP437 -> Windows-1252 and back. Box-drawing and Greek characters have no
// Windows-1252 byte, and many accented letters no CP437 byte: those raise.
std::string OemToAnsi(const std::string& text);
std::string AnsiToOem(const std::string& text);
