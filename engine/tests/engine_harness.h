// Drives libwbtrv32.so the way the program does: loaded with dlopen, called
// through BTRCALL and BTRCALLID. Buffers carry guard bytes behind the length
// a call is given, so a write past it fails the test.
#pragma once

#include "engine/status.h"
#include "engine/tests/engine_library.h"
#include "testing/checked_folder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

// Loaded once per test program (RTLD_NOW); fails the test when it cannot be.
const Library& Wbtrv();

// One key segment of a create buffer.
struct Seg {
  uint16_t Position;
  uint16_t Length;
  uint16_t Flags = 0;
  uint8_t Type = engine::key_type::String;
  uint8_t Sequence = 0;
};
// A create buffer: the header, one entry per segment (keys are counted from
// the segments without flag 16), then the collating sequences.
std::string CreateBuffer(uint16_t recordLength, const std::vector<Seg>& segments,
                         const std::vector<std::string>& sequences = {}, uint16_t pageSize = 4096);
// A 265-byte collating sequence with the given weights.
std::string CollatingSequence(const std::string& name, const std::array<uint8_t, 256>& weights);

// Calls Create with the name in a zero-terminated key buffer.
int16_t CreateFile(const std::string& name, const std::string& createBuffer, int8_t mode = engine::create_mode::NoReplace);

// Whether some descriptor holds a lock on a byte of the file's sidecar
// ("<path>.lck"): 0 is the open byte, n the record at position n.
bool SidecarByteLocked(const std::string& path, uint32_t byte);

// Little-endian integer fields and raw bytes as text.
std::string LE(int64_t value, size_t length);
std::string Hex(const std::string& bytes);

// One position block with its own data and key buffers.
class BtrFile {
public:
  BtrFile() { Pos.fill(0); }
  ~BtrFile();  // closes when still open

  // A call with `data` in a buffer of `room` bytes (data.size() when 0 is
  // given) and `key` in the 255-byte key buffer (zero-filled behind it).
  int16_t Call(uint16_t op, const std::string& data = "", const std::string& key = "", int8_t keyNum = 0,
               uint32_t room = 0, uint8_t keyLen = 255);
  int16_t Open(const std::string& name, int8_t mode = 0);
  int16_t Close() { return Call(engine::op::Close); }
  int16_t Insert(const std::string& record, int8_t keyNum = 0) { return Call(engine::op::Insert, record, "", keyNum); }
  // A get with a data buffer of `room` bytes (RecordRoom when 0).
  int16_t Get(uint16_t op, const std::string& key = "", int8_t keyNum = 0, uint32_t room = 0);
  uint32_t RecordCount();
  uint32_t Position();  // Get Position; 0 when it fails

  // After a call: what came back in the data buffer (DataLen bytes) and the
  // whole key buffer.
  std::string Data() const { return std::string(data_.data(), dataLen_); }
  std::string Key(size_t n) const { return std::string(reinterpret_cast<const char*>(key_.data()), n); }
  uint32_t DataLen() const { return dataLen_; }
  std::string DataBuffer() const { return std::string(data_.data(), room_); }  // all `room` bytes

  std::array<uint8_t, 128> Pos;
  uint32_t RecordRoom = 0;  // data room of gets; set by Open from Stat
  const uint8_t* ClientId = nullptr;

private:
  std::vector<char> data_;
  uint32_t dataLen_ = 0;
  uint32_t room_ = 0;
  std::array<uint8_t, 256 + 16> key_{};
};

// A TempDirTest whose files are made with one layout: a 32-byte record,
// key 0 an autoincrement (bytes 1-4), key 1 a unique string (5-14), key 2 a
// string with duplicates (15-20), modifiable.
struct Person {
  int32_t Id;
  std::string Name;   // 10 bytes, blank-padded
  std::string Group;  // 6 bytes, blank-padded
  std::string Rest;   // 12 bytes
};
std::string PersonRecord(const Person& p);
std::string PeopleLayout();
// The name field of a person (key 1), blank-padded, as a key buffer holds it.
std::string PersonName(const std::string& name);
// The people a block's client sees, walked by name: "name/group " each.
std::string PeopleSeen(BtrFile& f);
// Creates a file of PeopleLayout holding Ann and Bob in group "g".
void MakePeopleFile(const std::string& path);
// The people of a file as PeopleSeen gives them, or "open answered N".
std::string PeopleIn(const std::string& path);
// The names of the entries of a folder.
std::set<std::string> FolderNames(const std::string& folder);

// A test in a temporary folder whose record-manager files must all pass
// mdbtr check when it ends; the engine is stopped first, so nothing is left
// open.
class EngineFolderTest : public CheckedFolderTest {
protected:
  void TearDown() override;
};

// A test that restarts the engine with a short wait for other clients'
// SQLite locks, and stops it afterwards.
class ShortWaitTest : public EngineFolderTest {
protected:
  void SetUp() override;
};
