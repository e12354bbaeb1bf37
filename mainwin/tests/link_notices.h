// What the linked-template tests share: a family lookup field for the
// templates they define, and the bus traffic a peer receives read as short
// lines.
#pragma once

#include "platform/bus_datagram.h"
#include "platform/text.h"
#include "testing/bus_peer.h"
#include "testing/template_fixture.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

inline TFld& FamilyLookupField(TTemplateTableBuilder& T, const std::string& Name, int Width, const std::string& Spec) {
  TFld& f = T.Add(Name, 'C', Width);
  f.IsLookup = f.UpperCase = true;
  f.LkpKind = "L";
  f.LkpSpec = Spec;
  return f;
}

// The datagrams the peer received, waiting up to Ms for the first.
inline std::vector<BusDatagram> Drain(BusPeer& Peer, int Ms) {
  std::vector<BusDatagram> out;
  for (auto bytes = Peer.Receive(Ms); bytes; bytes = Peer.Receive(0)) {
    std::string why;
    if (auto d = DecodeBusDatagram(*bytes, why)) out.push_back(*d);
  }
  return out;
}

// The commands and statuses among them (only those From sent, when given),
// each as its letter and the trimmed name ("status " before a status), a
// "+" notice with its state word.
inline std::vector<std::string> Notices(const std::vector<BusDatagram>& Datagrams,
                                        std::optional<uint32_t> From = std::nullopt) {
  std::vector<std::string> out;
  for (const BusDatagram& d : Datagrams) {
    const bool command = d.name == "CV_Message_MNGR_Command";
    if ((!command && d.name != "CV_Message_Status") || (From && d.sender != *From)) continue;
    std::string line = d.text.substr(30, 1) + " " + Trim(d.text.substr(0, 30));
    if (command && line[0] == '+') line += " " + d.text.substr(47, 4);
    out.push_back(command ? line : "status " + line);
  }
  return out;
}
