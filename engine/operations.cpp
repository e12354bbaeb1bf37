// Dispatch of a call to its operation, the operations on whole files (Open,
// Close, Create, Stat) and those of the client (Begin, End, Abort, Stop),
// which need no open file, plus Unlock.
//
// File names come zero-terminated in the key buffer and are resolved like
// every file name of the program (engine/whole_file.h): "\" and "/" both
// separate, each component matches what exists without regard to case, and
// a new file keeps the name given.
#include "engine/operations.h"

#include "engine/key_codec.h"
#include "engine/status.h"
#include "engine/whole_file.h"

#include <algorithm>
#include <cstring>

namespace engine {

bool IsKeyNumber(const FileSpec& spec, int keyNum) { return keyNum >= 0 && size_t(keyNum) < spec.Keys.size(); }

int16_t CheckKeyRoom(const Call& call, const KeySpec& key) {
  return call.Key && call.KeyLen >= key.Length ? status::Success : status::KeyBufferTooShort;
}

void ReturnRecord(Call& call, const std::string& record) {
  // The store hands out only records of the record length, which every
  // caller has room for; this keeps the promise whatever comes.
  if (record.size() > call.DataSize()) throw StoreFailure{status::IoError};
  std::memcpy(call.Data, record.data(), record.size());
  *call.DataLen = uint32_t(record.size());
}

void ReturnKey(Call& call, const KeySpec& key, const std::string& record) {
  std::string raw;
  AppendRawKey(key, reinterpret_cast<const uint8_t*>(record.data()), raw);
  std::memcpy(call.Key, raw.data(), raw.size());
}

namespace {

// The native path of the name in the key buffer; 11 when the name is
// empty, not terminated within the key buffer, or names a folder.
int16_t FileNameOf(const Call& call, std::string& path) {
  if (!call.Key) return status::InvalidFileName;
  const void* end = std::memchr(call.Key, 0, call.KeyLen);
  if (!end) return status::InvalidFileName;
  return ResolveFileName(
      std::string(reinterpret_cast<const char*>(call.Key), static_cast<const uint8_t*>(end) - call.Key), path);
}

int16_t OpenFileOp(Engine& engine, Client& client, Call& call) {
  if (!call.PosBlock) return status::FileNotOpen;
  std::string path;
  if (int16_t s = FileNameOf(call, path)) return s;
  // Owner names come with the dataset library; no file here has one.
  if (call.DataSize() > 0 && call.Data[0] != 0) return status::InvalidOperation;
  if (call.KeyNum > open_mode::Normal || call.KeyNum < open_mode::Exclusive) return status::InvalidOperation;

  auto open = std::make_unique<OpenFile>();
  if (int16_t s = client.OpenFile(path, call.KeyNum, open->File)) return s;
  open->Owner = &client;
  open->Mode = call.KeyNum;
  // A block that is still open is closed only once its new open succeeded.
  OpenFile* previous = engine.Opens.Find(call.PosBlock, &client);
  const uint32_t previousHandle = previous ? DecodeFixed32(call.PosBlock + 8) : 0;
  client.Opens.push_back(engine.Opens.Add(std::move(open), call.PosBlock));
  if (previous) engine.Close(previousHandle);
  return status::Success;
}

int16_t CloseFileOp(Engine& engine, Call& call) {
  engine.Close(DecodeFixed32(call.PosBlock + 8));
  std::memset(call.PosBlock, 0, 16);
  return status::Success;
}

int16_t CreateFileOp(Call& call) {
  std::string path;
  if (int16_t s = FileNameOf(call, path)) return s;
  FileSpec spec;
  if (int16_t s = DecodeCreateBuffer(call.Data, call.DataSize(), spec)) return s;
  return CreateRecordFile(path, spec, call.KeyNum == create_mode::Replace);
}

int16_t StatOp(OpenFile& open, Call& call) {
  DataFile& file = open.Store();
  const std::string answer = EncodeStatBuffer(file.Spec(), file.RecordCount());
  const uint32_t room = call.DataSize();
  const uint32_t n = std::min<uint32_t>(room, uint32_t(answer.size()));
  if (n > 0) {
    std::memcpy(call.Data, answer.data(), n);
    *call.DataLen = n;
  }
  return n < answer.size() ? status::DataBufferTooShort : status::Success;
}

// Releases the block's record lock. The data buffer may name the position;
// a position the block does not hold locked leaves it alone.
int16_t UnlockOp(OpenFile& open, Call& call) {
  if (!open.Locked) return status::Success;
  if (call.DataSize() >= PhysicalPositionSize && DecodeFixed32(call.Data) != open.Locked) return status::Success;
  open.File->Release(open.Locked);
  open.Locked = 0;
  return status::Success;
}

bool TakesLock(uint16_t op) {
  return (op >= op::GetEqual && op <= op::GetLast) || op == op::GetEqualKeyOnly || op == op::GetDirect ||
         op == op::StepNext || op == op::StepFirst || op == op::StepLast || op == op::StepPrevious;
}

}  // namespace

int16_t Execute(Engine& engine, Client& client, Call& call) {
  // Lock biases are added in hundreds to the operations below 100.
  const uint16_t bias = call.Op < 1000 ? call.Op / 100 * 100 : 0;
  call.Op = uint16_t(call.Op - bias);
  call.Lock = bias == op::SingleNoWaitLock;
  if (bias != 0 && !(call.Lock && TakesLock(call.Op))) return status::InvalidOperation;

  switch (call.Op) {
    case op::Open:
      return OpenFileOp(engine, client, call);
    case op::Create:
      return CreateFileOp(call);
    case op::Stop:
      engine.StopClient(client);
      return status::Success;
    case op::BeginTransaction:
    case op::BeginConcurrentTransaction:
      return client.Begin();
    case op::EndTransaction:
      return client.End();
    case op::AbortTransaction:
      return client.Abort();
    case op::Close:
    case op::Insert:
    case op::Update:
    case op::Delete:
    case op::GetEqual:
    case op::GetNext:
    case op::GetPrevious:
    case op::GetGreater:
    case op::GetGreaterOrEqual:
    case op::GetLessThan:
    case op::GetLessThanOrEqual:
    case op::GetFirst:
    case op::GetLast:
    case op::GetEqualKeyOnly:
    case op::Stat:
    case op::GetPosition:
    case op::GetDirect:
    case op::StepNext:
    case op::StepFirst:
    case op::StepLast:
    case op::StepPrevious:
    case op::Unlock:
      break;
    default:
      return status::InvalidOperation;
  }

  OpenFile* open = engine.Opens.Find(call.PosBlock, &client);
  if (!open) return status::FileNotOpen;
  switch (call.Op) {
    case op::Close:
      return CloseFileOp(engine, call);
    case op::Stat:
      return StatOp(*open, call);
    case op::Insert:
      return Insert(*open, call);
    case op::Update:
      return Update(*open, call);
    case op::Delete:
      return Delete(*open, call);
    case op::GetNext:
      return GetAdjacent(*open, call, 1);
    case op::GetPrevious:
      return GetAdjacent(*open, call, -1);
    case op::GetPosition:
      return GetPosition(*open, call);
    case op::GetDirect:
      return GetDirect(*open, call);
    case op::StepNext:
    case op::StepFirst:
    case op::StepLast:
    case op::StepPrevious:
      return Step(*open, call);
    case op::Unlock:
      return UnlockOp(*open, call);
    default:
      return GetByKey(*open, call);
  }
}

}  // namespace engine
