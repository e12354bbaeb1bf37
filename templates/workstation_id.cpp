#include "templates/workstation_id.h"

#include "platform/text.h"
#include "templates/registry_settings.h"
#include "templates/store_constants.h"

#include <algorithm>

namespace {

constexpr size_t MaxWorkstationIdLength = 2;

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
}

// The id as a person can read it in a message box.
std::string Shown(std::string_view WSID) {
  std::string shown;
  for (const char c : WSID) {
    const auto byte = static_cast<unsigned char>(c);
    shown += byte < 0x20 || byte == 0x7F ? "\\x" + IntToHex(int(byte), 2) : std::string(1, c);
  }
  return shown;
}

}  // namespace

bool IsWorkstationId(std::string_view WSID) {
  if (WSID.empty() || WSID.size() > MaxWorkstationIdLength) return false;
  if (!std::all_of(WSID.begin(), WSID.end(), [](char c) { return c == ' ' || IsAsciiLetterOrDigit(c); })) return false;
  return std::any_of(WSID.begin(), WSID.end(), IsAsciiLetterOrDigit);
}

std::string BadWorkstationIdMsg(std::string_view WSID) {
  return "The workstation id \"" + Shown(WSID) + "\" (registry key " + RegKeyPath(HostKeyId) +
         ", value WSID) cannot name this workstation's files.  Application will be terminated.\r\r"
         "The id must be one or two characters, each a letter, a digit or a blank, not blanks alone." +
         ContactMsg;
}
