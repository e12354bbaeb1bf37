#include "engine/tests/engine_harness.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>

namespace {
constexpr uint8_t Guard = 0xA5;
constexpr size_t GuardSize = 16;
}  // namespace

const Library& Wbtrv() {
  static std::string error;
  static const Library library = [] {
    Library lib;
    LoadWbtrv(WBTRV32_PATH, lib, error);
    return lib;
  }();
  if (!library.Call) ADD_FAILURE() << "loading the record manager: " << error;
  return library;
}

std::string LE(int64_t value, size_t length) {
  std::string out(length, '\0');
  for (size_t i = 0; i < length; ++i) out[i] = char(uint64_t(value) >> (8 * i));
  return out;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

std::string CreateBuffer(uint16_t recordLength, const std::vector<Seg>& segments,
                         const std::vector<std::string>& sequences, uint16_t pageSize) {
  uint16_t keys = 0;
  for (const Seg& s : segments) keys += (s.Flags & engine::key_flag::Segmented) ? 0 : 1;
  std::string out = LE(recordLength, 2) + LE(pageSize, 2) + LE(keys, 2) + std::string(3, '\0') + '\x01' +
                    std::string(6, '\0');
  for (const Seg& s : segments) {
    std::string entry = LE(s.Position, 2) + LE(s.Length, 2) + LE(s.Flags, 2) + std::string(10, '\0');
    entry[10] = char(s.Type);
    entry[15] = char(s.Sequence);
    out += entry;
  }
  for (const std::string& sequence : sequences) out += sequence;
  return out;
}

std::string CollatingSequence(const std::string& name, const std::array<uint8_t, 256>& weights) {
  std::string out(9, '\0');
  out[0] = char(0xAC);
  out.replace(1, std::min<size_t>(8, name.size()), name.substr(0, 8));
  out.append(reinterpret_cast<const char*>(weights.data()), weights.size());
  return out;
}

int16_t CreateFile(const std::string& name, const std::string& createBuffer, int8_t mode) {
  std::array<uint8_t, 128> pos{};
  std::string data = createBuffer;
  uint32_t len = uint32_t(data.size());
  std::string key = name;
  key.push_back('\0');
  return Wbtrv().Call(engine::op::Create, pos.data(), data.data(), &len, key.data(), uint8_t(key.size()), mode);
}

BtrFile::~BtrFile() {
  std::array<uint8_t, 4> scratch{};
  uint32_t len = 4;
  if (ClientId)
    Wbtrv().CallId(engine::op::Close, Pos.data(), scratch.data(), &len, key_.data(), 255, 0, ClientId);
  else
    Wbtrv().Call(engine::op::Close, Pos.data(), scratch.data(), &len, key_.data(), 255, 0);
}

int16_t BtrFile::Call(uint16_t op, const std::string& data, const std::string& key, int8_t keyNum, uint32_t room,
                      uint8_t keyLen) {
  room_ = room ? room : uint32_t(data.size());
  data_.assign(room_ + GuardSize, char(Guard));
  std::fill(data_.begin(), data_.begin() + room_, '\xEE');
  std::memcpy(data_.data(), data.data(), std::min<size_t>(data.size(), room_));
  dataLen_ = room_;
  key_.fill(Guard);
  std::fill(key_.begin(), key_.begin() + keyLen, 0);
  std::memcpy(key_.data(), key.data(), std::min<size_t>(key.size(), keyLen));

  const int16_t status =
      ClientId ? Wbtrv().CallId(op, Pos.data(), data_.data(), &dataLen_, key_.data(), keyLen, keyNum, ClientId)
               : Wbtrv().Call(op, Pos.data(), data_.data(), &dataLen_, key_.data(), keyLen, keyNum);

  for (size_t i = room_; i < data_.size(); ++i)
    if (uint8_t(data_[i]) != Guard) ADD_FAILURE() << "op " << op << " wrote past the data length at " << i;
  for (size_t i = keyLen; i < key_.size(); ++i)
    if (key_[i] != Guard) ADD_FAILURE() << "op " << op << " wrote past the key length at " << i;
  if (dataLen_ > room_) ADD_FAILURE() << "op " << op << " answered a data length above the room given";
  return status;
}

int16_t BtrFile::Open(const std::string& name, int8_t mode) {
  std::string key = name;
  key.push_back('\0');
  const int16_t status = Call(engine::op::Open, "", key, mode);
  if (status == 0) {
    Call(engine::op::Stat, "", "", 0, 1920);
    RecordRoom = uint8_t(DataBuffer()[0]) | (uint8_t(DataBuffer()[1]) << 8);
  }
  return status;
}

int16_t BtrFile::Get(uint16_t op, const std::string& key, int8_t keyNum, uint32_t room) {
  return Call(op, "", key, keyNum, room ? room : RecordRoom);
}

uint32_t BtrFile::RecordCount() {
  if (Call(engine::op::Stat, "", "", 0, 1920) != 0) return 0xFFFFFFFF;
  const std::string d = Data();
  return uint8_t(d[6]) | (uint8_t(d[7]) << 8) | (uint8_t(d[8]) << 16) | (uint32_t(uint8_t(d[9])) << 24);
}

uint32_t BtrFile::Position() {
  if (Call(engine::op::GetPosition, "", "", 0, 4) != 0) return 0;
  const std::string d = Data();
  return uint8_t(d[0]) | (uint8_t(d[1]) << 8) | (uint8_t(d[2]) << 16) | (uint32_t(uint8_t(d[3])) << 24);
}

std::string PersonRecord(const Person& p) {
  auto pad = [](std::string s, size_t n) {
    s.resize(n, ' ');
    return s;
  };
  return LE(p.Id, 4) + pad(p.Name, 10) + pad(p.Group, 6) + pad(p.Rest, 12);
}

std::string PersonName(const std::string& name) { return PersonRecord({0, name, "", ""}).substr(4, 10); }

std::string PeopleSeen(BtrFile& f) {
  auto field = [](const std::string& record, size_t at) { return record.substr(at, record.find(' ', at) - at); };
  std::string out;
  for (int16_t s = f.Get(engine::op::GetFirst, "", 1); s == 0; s = f.Get(engine::op::GetNext, "", 1))
    out += field(f.Data(), 4) + "/" + field(f.Data(), 14) + " ";
  return out;
}

void MakePeopleFile(const std::string& path) {
  ASSERT_EQ(CreateFile(path, PeopleLayout()), 0);
  BtrFile f;
  ASSERT_EQ(f.Open(path), 0);
  for (const char* name : {"Ann", "Bob"}) ASSERT_EQ(f.Insert(PersonRecord({0, name, "g", ""})), 0);
}

std::string PeopleIn(const std::string& path) {
  BtrFile f;
  if (int16_t s = f.Open(path)) return "open answered " + std::to_string(s);
  return PeopleSeen(f);
}

std::set<std::string> FolderNames(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

void ShortWaitTest::SetUp() {
  Wbtrv().Stop();
  ASSERT_EQ(Wbtrv().Init("busy=100"), 0);
}

void EngineFolderTest::TearDown() {
  Wbtrv().Stop();
  CheckedFolderTest::TearDown();
}

std::string PeopleLayout() {
  using namespace engine::key_flag;
  return CreateBuffer(32, {{1, 4, ExtendedType, engine::key_type::AutoIncrement},
                           {5, 10, ExtendedType},
                           {15, 6, ExtendedType | Duplicates | Modifiable}});
}

bool SidecarByteLocked(const std::string& path, uint32_t byte) {
  const int fd = open((path + ".lck").c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock probe {};
  probe.l_type = F_WRLCK;
  probe.l_whence = SEEK_SET;
  probe.l_start = byte;
  probe.l_len = 1;
  const bool locked = fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK;
  close(fd);
  return locked;
}
