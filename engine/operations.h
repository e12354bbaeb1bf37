// The operations behind BTRCALL, one function per family.
//
// Every operation either succeeds and then changes the caller's buffers,
// the position and the file, or answers a status and changes none of them
// (Stat's 22, which fills what fits, is the one exception). A call never
// writes past *DataLen bytes of the data buffer nor past KeyLen bytes (at
// most 255) of the key buffer; a key value must fit in KeyLen or the call
// answers 21.
#pragma once

#include "engine/engine.h"

#include <cstdint>
#include <string>

namespace engine {

struct Call {
  uint16_t Op = 0;    // without the lock bias
  bool Lock = false;  // a single-record no-wait lock was asked for
  uint8_t* PosBlock = nullptr;
  uint8_t* Data = nullptr;
  uint32_t* DataLen = nullptr;
  uint8_t* Key = nullptr;
  uint8_t KeyLen = 0;
  int8_t KeyNum = 0;

  // The bytes the caller lets the call read and write in the data buffer.
  uint32_t DataSize() const { return Data && DataLen ? *DataLen : 0; }
};

// Runs one call for a client. SQLite failures arrive here as StoreFailure
// and leave as their status.
int16_t Execute(Engine& engine, Client& client, Call& call);

// Helpers shared by the families.
bool IsKeyNumber(const FileSpec& spec, int keyNum);
// 21 unless the key buffer holds a value of the key.
int16_t CheckKeyRoom(const Call& call, const KeySpec& key);
// REQUIRES: record is of the file's record length (the store reads no
// other), key of the file, and the buffers have room (checked before).
void ReturnRecord(Call& call, const std::string& record);
void ReturnKey(Call& call, const KeySpec& key, const std::string& record);

// Families (reads.cpp, writes.cpp).
int16_t GetByKey(OpenFile& open, Call& call);
int16_t GetAdjacent(OpenFile& open, Call& call, int direction);
int16_t Step(OpenFile& open, Call& call);
int16_t GetDirect(OpenFile& open, Call& call);
int16_t GetPosition(OpenFile& open, Call& call);
int16_t Insert(OpenFile& open, Call& call);
int16_t Update(OpenFile& open, Call& call);
int16_t Delete(OpenFile& open, Call& call);

}  // namespace engine
