// One instance message on the wire: a datagram between two instances of the
// program (or the tools) on the same machine.
//
//   offset  size  field
//   0       4     magic "CVM1"
//   4       4     sender id: the sender's process id, 32-bit little-endian;
//                 it stands for the main-window handle of the word parameter
//   8       1     N, the length of the message name, 1-255
//   9       N     message name, as registered by the sender
//   9+N     2     L, the length of the text, 16-bit little-endian, 0-255
//   11+N    L     text: the atom's bytes as given (Windows-1252)
//
// Nothing follows the text: a datagram is exactly 11+N+L bytes long, so at
// most 521. Ids of registered messages never travel; the name does, and each
// receiver maps it to its own id.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

struct BusDatagram {
  uint32_t sender = 0;
  std::string name;
  std::string text;
};

inline constexpr std::string_view kBusMagic = "CVM1";
inline constexpr std::size_t kBusMaxName = 255;
inline constexpr std::size_t kBusMaxText = 255;
inline constexpr std::size_t kBusMaxDatagram = 11 + kBusMaxName + kBusMaxText;

// REQUIRES: a name of 1-255 bytes and a text of at most 255 (callers check;
// EncodeBusDatagram raises std::invalid_argument otherwise).
std::string EncodeBusDatagram(const BusDatagram& message);

// The message, or nullopt with `why` saying what was wrong with the bytes.
std::optional<BusDatagram> DecodeBusDatagram(std::string_view bytes, std::string& why);
