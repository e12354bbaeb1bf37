#include "fuzz/engine_calls.h"

#include "engine/status.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

// Every operation a client may call on an open file.
constexpr std::array<uint16_t, 24> Ops{
    engine::op::GetEqual,       engine::op::GetNext,      engine::op::GetPrevious,   engine::op::GetGreater,
    engine::op::GetGreaterOrEqual, engine::op::GetLessThan, engine::op::GetLessThanOrEqual, engine::op::GetFirst,
    engine::op::GetLast,        engine::op::Stat,         engine::op::GetPosition,   engine::op::GetDirect,
    engine::op::StepNext,       engine::op::StepFirst,    engine::op::StepLast,      engine::op::StepPrevious,
    engine::op::GetEqualKeyOnly, engine::op::Insert,      engine::op::Update,        engine::op::Delete,
    engine::op::BeginTransaction, engine::op::EndTransaction, engine::op::AbortTransaction, engine::op::Unlock};

constexpr uint32_t StatRoom = 1920;

// Where a read of the open block lands: the record length from Stat.
uint16_t RecordLength(StoredBtrCall call, uint8_t* posBlock) {
  std::vector<uint8_t> stat(StatRoom);
  uint32_t length = StatRoom;
  uint8_t key[255] = {};
  if (call(engine::op::Stat, posBlock, stat.data(), &length, key, sizeof key, 0) != 0 || length < 2) return 0;
  return uint16_t(stat[0] | (stat[1] << 8));
}

}  // namespace

std::vector<EngineCall> ReadEngineCalls(FuzzInput& in) {
  std::vector<EngineCall> calls(std::min<size_t>(in.Byte(), MaxEngineCalls));
  for (EngineCall& c : calls) {
    c.op = in.Byte();
    c.keyNum = int8_t(in.Byte());
    c.room = in.Byte();
    c.keyLen = in.Byte();
    c.data = in.Sized();
    c.key = in.Bytes(in.Byte());
  }
  return calls;
}

void WriteEngineCalls(FuzzOutput& out, const std::vector<EngineCall>& calls) {
  out.Byte(uint8_t(calls.size()));
  for (const EngineCall& c : calls) {
    out.Byte(c.op).Byte(uint8_t(c.keyNum)).Byte(c.room).Byte(c.keyLen).Sized(c.data);
    out.Byte(uint8_t(c.key.size())).Bytes(c.key);
  }
}

void RunEngineCalls(StoredBtrCall call, const std::string& path, const std::vector<EngineCall>& calls) {
  uint8_t posBlock[128] = {};
  {
    std::string name = path + '\0';
    uint32_t none = 0;
    if (call(engine::op::Open, posBlock, nullptr, &none, name.data(), uint8_t(name.size()), 0) != 0) return;
  }
  const uint16_t recordLength = RecordLength(call, posBlock);
  for (const EngineCall& c : calls) {
    const uint16_t op = uint16_t(Ops[(c.op & 0x1F) % Ops.size()] + ((c.op & 0x80) ? engine::op::SingleNoWaitLock : 0));
    const uint32_t room = c.room == 0 ? recordLength : c.room == 1 ? StatRoom : c.room;
    // Exactly as long as the call is told, so a write past the end shows.
    std::vector<uint8_t> data(room);
    std::copy_n(c.data.begin(), std::min<size_t>(room, c.data.size()), data.begin());
    std::vector<uint8_t> key(c.keyLen);
    std::copy_n(c.key.begin(), std::min(key.size(), c.key.size()), key.begin());
    uint32_t length = room;
    call(op, posBlock, data.empty() ? nullptr : data.data(), &length, key.empty() ? nullptr : key.data(), c.keyLen,
         c.keyNum);
  }
  uint32_t none = 0;
  call(engine::op::AbortTransaction, nullptr, nullptr, &none, nullptr, 0, 0);
  call(engine::op::Close, posBlock, nullptr, &none, nullptr, 0, 0);
}

std::vector<EngineCall> WalkCalls(int keyCount) {
  std::vector<EngineCall> calls;
  for (int k = 0; k < keyCount && calls.size() + 5 <= MaxEngineCalls; ++k) {
    // Get First, Get Next, Get Last on key k with room for one record and
    // the longest key.
    calls.push_back(EngineCall{7, int8_t(k), 0, 255, {}, {}});
    calls.push_back(EngineCall{1, int8_t(k), 0, 255, {}, {}});
    calls.push_back(EngineCall{8, int8_t(k), 0, 255, {}, {}});
  }
  calls.push_back(EngineCall{13, 0, 0, 255, {}, {}});  // Step First
  calls.push_back(EngineCall{17, 0, 0, 255, {}, {}});  // Insert
  return calls;
}
