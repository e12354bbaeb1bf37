#include "platform/bus_datagram.h"

#include <stdexcept>

namespace {

constexpr std::size_t kSenderAt = 4;
constexpr std::size_t kNameLengthAt = 8;
constexpr std::size_t kNameAt = 9;
constexpr std::size_t kShortest = kNameAt + 1 + 2;  // a one-byte name, an empty text

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(char((value >> (8 * i)) & 0xFF));
}

uint32_t GetLittleEndian(std::string_view in, std::size_t at, int bytes) {
  uint32_t value = 0;
  for (int i = 0; i < bytes; ++i) value |= uint32_t(uint8_t(in[at + i])) << (8 * i);
  return value;
}

}  // namespace

std::string EncodeBusDatagram(const BusDatagram& message) {
  if (message.name.empty() || message.name.size() > kBusMaxName)
    throw std::invalid_argument("message name must have 1-255 bytes");
  if (message.text.size() > kBusMaxText) throw std::invalid_argument("message text over 255 bytes");
  std::string out(kBusMagic);
  PutLittleEndian(out, message.sender, 4);
  out.push_back(char(message.name.size()));
  out += message.name;
  PutLittleEndian(out, uint32_t(message.text.size()), 2);
  out += message.text;
  return out;
}

std::optional<BusDatagram> DecodeBusDatagram(std::string_view bytes, std::string& why) {
  if (bytes.size() < kShortest) {
    why = "short datagram (" + std::to_string(bytes.size()) + " bytes)";
    return std::nullopt;
  }
  if (bytes.size() > kBusMaxDatagram) {
    why = "oversized datagram (" + std::to_string(bytes.size()) + " bytes)";
    return std::nullopt;
  }
  if (bytes.substr(0, kBusMagic.size()) != kBusMagic) {
    why = "datagram without the bus tag";
    return std::nullopt;
  }
  const std::size_t name_length = uint8_t(bytes[kNameLengthAt]);
  const std::size_t text_length_at = kNameAt + name_length;
  if (name_length == 0 || text_length_at + 2 > bytes.size()) {
    why = "datagram with a bad name length";
    return std::nullopt;
  }
  const std::size_t text_length = GetLittleEndian(bytes, text_length_at, 2);
  if (text_length > kBusMaxText || text_length_at + 2 + text_length != bytes.size()) {
    why = "datagram with a bad text length";
    return std::nullopt;
  }
  BusDatagram message;
  message.sender = GetLittleEndian(bytes, kSenderAt, 4);
  message.name = std::string(bytes.substr(kNameAt, name_length));
  message.text = std::string(bytes.substr(text_length_at + 2, text_length));
  return message;
}
