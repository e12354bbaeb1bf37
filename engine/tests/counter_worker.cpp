#include "engine/tests/counter_worker.h"

#include "engine/status.h"

#include <sched.h>

#include <array>
#include <cstring>

namespace {

constexpr uint32_t RecordLength = 8;

// One position block with its buffers.
class Block {
public:
  explicit Block(const Library& library) : library_(library) {}
  ~Block() { Call(engine::op::Close); }
  int16_t Call(uint16_t op, int8_t keyNum = 0) {
    uint32_t length = RecordLength;
    return library_.Call(op, pos_.data(), data_.data(), &length, key_.data(), 255, keyNum);
  }
  int16_t Open(const std::string& path) {
    key_.fill(0);
    std::memcpy(key_.data(), path.data(), std::min<size_t>(path.size(), 254));
    uint32_t length = 0;
    return library_.Call(engine::op::Open, pos_.data(), nullptr, &length, key_.data(), 255, 0);
  }
  int16_t ReadCounter(bool locked) {
    key_.fill(0);
    key_[0] = 1;
    return Call(engine::op::GetEqual + (locked ? engine::op::SingleNoWaitLock : 0));
  }
  uint32_t Count() const {
    uint32_t count;
    std::memcpy(&count, data_.data() + 4, 4);
    return count;
  }
  void SetCount(uint32_t count) { std::memcpy(data_.data() + 4, &count, 4); }
  void Clear() { data_.fill(0); }

private:
  const Library& library_;
  std::array<uint8_t, 128> pos_{};
  std::array<uint8_t, RecordLength> data_{};
  std::array<uint8_t, 256> key_{};
};

}  // namespace

int16_t CreateCounterFile(const Library& library, const std::string& path) {
  using namespace engine;
  // Header, then key 0: position 1, length 4, extended type autoincrement.
  std::array<uint8_t, 32> spec{};
  spec[0] = RecordLength;
  spec[3] = 4096 >> 8;
  spec[4] = 1;
  spec[16] = 1;
  spec[18] = 4;
  spec[20] = uint8_t(key_flag::ExtendedType);
  spec[21] = uint8_t(key_flag::ExtendedType >> 8);
  spec[26] = key_type::AutoIncrement;
  std::array<uint8_t, 128> pos{};
  std::string name = path + '\0';
  uint32_t length = uint32_t(spec.size());
  if (int16_t s = library.Call(op::Create, pos.data(), spec.data(), &length, name.data(), uint8_t(name.size()),
                               create_mode::Replace))
    return s;
  Block block(library);
  if (int16_t s = block.Open(path)) return s;
  block.Clear();
  return block.Call(op::Insert);
}

int16_t ReadCounter(const Library& library, const std::string& path, uint32_t& count) {
  Block block(library);
  if (int16_t s = block.Open(path)) return s;
  const int16_t s = block.ReadCounter(false);
  count = block.Count();
  return s;
}

CounterRun RunCounter(const Library& library, const std::string& path, int cycles, bool locked) {
  using namespace engine;
  CounterRun run;
  Block block(library);
  if (int16_t s = block.Open(path)) {
    run.Error = "open answered " + std::to_string(s);
    return run;
  }
  while (run.Cycles < cycles) {
    int16_t s = block.ReadCounter(locked);
    if (s == status::Success) {
      block.SetCount(block.Count() + 1);
      s = block.Call(op::Update);
      if (s == status::Success) {
        ++run.Cycles;
        continue;
      }
    }
    switch (s) {
      case status::RecordLocked:
        ++run.Locked84;
        sched_yield();
        break;
      case status::FileLocked:
        ++run.Busy85;
        break;
      case status::Conflict:
        ++run.Conflicts80;
        break;
      default:
        run.Error = "a call answered " + std::to_string(s);
        return run;
    }
  }
  return run;
}
