// A record-manager file read through the engine in this process, as a
// client of its own: what another workstation sees of it.
#pragma once

#include "btrieve/call_status.h"
#include "btrieve/numbered_files.h"
#include "btrieve/win_btr.h"
#include "platform/format.h"

#include <string>

// A record-manager file as another client sees it: the file layout Stat
// gives, then every committed record in key-0 order with its prefix.
inline std::string DumpThroughEngine(const std::string& path) {
  static const uint8_t otherClient[ClientIdSize] = {'s', 'n', 'a', 'p', 's', 'h', 'o', 't'};
  std::string out;
  if (!BtrLoadEngine(out, 255)) return "engine: " + out;
  TWinBtr e(otherClient);
  const auto text = [&](const uint8_t* p, size_t n) {
    for (size_t i = 0; i < n; ++i) out += Format("%.2x", p[i]);
    out += "\n";
  };
  int16_t status = CallStatus(e, [&] {
    e.Open(path, {}, 0);
    e.Stat();
  });
  if (status != 0) return "open: status " + std::to_string(status);
  text(e.FileSpec().data(), e.FileSpec().size());
  e.KeyNum = 0;
  for (status = CallStatus(e, [&] { e.GetFirst(); }); status == 0; status = CallStatus(e, [&] { e.GetNext(); }))
    text(e.RecBuffer(), e.DataLen());
  if (status != 9) out += "read: status " + std::to_string(status);
  CallStatus(e, [&] { e.Close(); });
  return out;
}

