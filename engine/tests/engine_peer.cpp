// Another workstation for the multi-process tests: a process of its own
// that loads the record manager and runs what the test sends it, one
// command per line on standard input, one answer line on standard output.
//   call CLIENT BLOCK OP KEYNUM ROOM DATA KEY
//       CLIENT "-" (BTRCALL) or 32 hex digits (BTRCALLID); BLOCK 0-15; the
//       data buffer has ROOM bytes starting with DATA, the 255-byte key
//       buffer starts with KEY (hex, "-" for none).
//       Answers "STATUS DATA KEY": the data buffer's first DataLen bytes
//       and the whole key buffer, in hex.
//   sql PATH SQL       runs SQL on the file at PATH through SQLite itself,
//                      with no wait for locks; answers SQLite's result code
//                      (a lock another process holds shows as 5)
//   kill-at-sync N     answers "ok"; the Nth flush of a file to disk from
//                      now on kills this process (SIGKILL) instead
//   counter PATH CYCLES LOCKED
//       answers "done R84 R85 R80" after CYCLES increments of the counter
//       file (engine/tests/counter_worker.h), or "error TEXT"
//   quit               answers "bye" and ends
// A command that throws answers "error TEXT".
#include "engine/tests/counter_worker.h"
#include "engine/tests/engine_library.h"
#include "testing/peer_loop.h"
#include "testing/sync_kill.h"

#include <sqlite3.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

std::string ToHex(const uint8_t* bytes, size_t n) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    out += digits[bytes[i] >> 4];
    out += digits[bytes[i] & 15];
  }
  return out.empty() ? "-" : out;
}

std::string FromHex(const std::string& hex) {
  std::string out;
  if (hex == "-") return out;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) out += char(std::stoi(hex.substr(i, 2), nullptr, 16));
  return out;
}

std::string RunCall(const Library& library, std::array<std::array<uint8_t, 128>, 16>& blocks, std::istream& in) {
  std::string client, data, key;
  int block = 0, keyNum = 0;
  unsigned op = 0, room = 0;
  in >> client >> block >> op >> keyNum >> room >> data >> key;
  if (!in || block < 0 || block >= 16) return "error bad call";
  std::vector<uint8_t> dataBuffer(room + 1, 0);
  const std::string dataBytes = FromHex(data);
  std::memcpy(dataBuffer.data(), dataBytes.data(), std::min<size_t>(dataBytes.size(), room));
  std::array<uint8_t, 256> keyBuffer{};
  const std::string keyBytes = FromHex(key);
  std::memcpy(keyBuffer.data(), keyBytes.data(), std::min<size_t>(keyBytes.size(), 255));
  uint32_t length = room;
  int16_t status;
  if (client == "-") {
    status = library.Call(uint16_t(op), blocks[size_t(block)].data(), dataBuffer.data(), &length, keyBuffer.data(), 255,
                          int8_t(keyNum));
  } else {
    const std::string id = FromHex(client);
    if (id.size() != 16) return "error bad client";
    status = library.CallId(uint16_t(op), blocks[size_t(block)].data(), dataBuffer.data(), &length, keyBuffer.data(),
                            255, int8_t(keyNum), reinterpret_cast<const uint8_t*>(id.data()));
  }
  return std::to_string(status) + " " + ToHex(dataBuffer.data(), std::min(length, room)) + " " +
         ToHex(keyBuffer.data(), 255);
}

std::string RunSql(std::istream& in) {
  std::string path, sql;
  in >> path;
  in.get();
  std::getline(in, sql);
  sqlite3* db = nullptr;
  int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
  if (rc == SQLITE_OK) rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
  sqlite3_close(db);
  return std::to_string(rc);
}

}  // namespace

int main() {
  Library library;
  std::string error;
  if (!LoadWbtrv(WBTRV32_PATH, library, error)) {
    std::cout << "error " << error << std::endl;
    return 1;
  }
  std::array<std::array<uint8_t, 128>, 16> blocks{};
  ServePeerCommands("quit", [&](const std::string& command, std::istringstream& in) -> std::string {
    if (command == "call") return RunCall(library, blocks, in);
    if (command == "sql") return RunSql(in);
    if (command == "kill-at-sync") {
      int n = 0;
      in >> n;
      ArmKillAtSync(n);
      return "ok";
    }
    if (command == "counter") {
      std::string path;
      int cycles = 0, locked = 0;
      in >> path >> cycles >> locked;
      const CounterRun run = RunCounter(library, path, cycles, locked != 0);
      return run.Error.empty() ? "done " + std::to_string(run.Locked84) + " " + std::to_string(run.Busy85) + " " +
                                     std::to_string(run.Conflicts80)
                               : "error " + run.Error;
    }
    if (command == "quit") return "bye";
    return "error unknown command";
  });
  library.Stop();
  return 0;
}
