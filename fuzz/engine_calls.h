// A short run of record-manager calls on one file, read from a fuzz input:
// the reads of every kind (by key, adjacent, steps, direct, position, Stat)
// and the writes, each with a data and a key buffer exactly as long as the
// input says, so a call that writes or reads past either is caught.
//
// Input shape:
//   count   byte, at most MaxEngineCalls calls
//   a call: op byte (its low 5 bits pick an operation, bit 7 adds the
//           single-record lock), key number (signed byte), data room byte
//           (0 the record length, 1 a whole Stat buffer, else the byte),
//           key length byte, then the data bytes (16-bit length) and the
//           key bytes (byte length); both buffers are zero-filled beyond
//           what is given.
// The file is opened first (mode from a byte) and closed at the end; a
// transaction left open is aborted, so nothing holds the file afterwards.
#pragma once

#include "fuzz/fuzz_input.h"
#include "fuzz/stored_file.h"

#include <string>

inline constexpr int MaxEngineCalls = 12;

struct EngineCall {
  uint8_t op = 0;
  int8_t keyNum = 0;
  uint8_t room = 0;
  uint8_t keyLen = 0;
  std::string data;
  std::string key;
};

std::vector<EngineCall> ReadEngineCalls(FuzzInput& in);
void WriteEngineCalls(FuzzOutput& out, const std::vector<EngineCall>& calls);
// Opens the file, makes the calls, and closes it again.
void RunEngineCalls(StoredBtrCall call, const std::string& path, const std::vector<EngineCall>& calls);

// A walk over the whole file by every key: the calls the seeds make.
std::vector<EngineCall> WalkCalls(int keyCount);
