#include "btrieve/create_file.h"

#include "btrieve/binding.h"
#include "btrieve/call_status.h"
#include "btrieve/numbered_files.h"
#include "btrieve/stat_layout.h"
#include "btrieve/status_text.h"
#include "btrieve/win_btr.h"
#include "platform/text.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr int16_t InvalidFileName = 11;
// The one header byte besides the counts that creation sets (to 1).
constexpr size_t CreateMarkByte = 9;
// Create with key number -1 refuses to replace an existing file.
constexpr int8_t CreateNoReplace = -1;
constexpr int8_t CreateReplace = 0;

uint8_t* SegmentEntry(std::vector<uint8_t>& buffer, size_t i) {
  return buffer.data() + StatHeaderSize + StatSegmentSize * i;
}

// The segment entries of the completed specifications; False with the
// reason in Msg at the first that cannot be created.
bool FillSegments(std::vector<uint8_t>& buffer, uint16_t RecLen, const std::vector<TKeySpec>& specs,
                  std::string& Msg) {
  for (size_t i = 0; i < specs.size(); ++i) {
    const TKeySpec& s = specs[i];
    if (int(s.Position) + int(s.Length) > int(RecLen) + 1) {
      Msg = "Key segment " + IntToStr(i) + " does not fit within record length";
      return false;
    }
    uint8_t* entry = SegmentEntry(buffer, i);
    PutWordBytes(entry + StatSegmentField::Position, s.Position);
    PutWordBytes(entry + StatSegmentField::Length, s.Length);
    if (s.AutoInc && i > 0) {
      Msg = "Only the first key (key 0) may be autoincrement.";
      return false;
    }
    uint16_t flags = 0;
    if (!s.AutoInc) {
      if (s.Duplicates) flags |= StatKeyFlag::Duplicates;
      if (s.Modifiable) flags |= StatKeyFlag::Modifiable;
      if (s.CaseInsensitive) flags |= StatKeyFlag::CaseInsensitive;
    }
    if (i + 1 < specs.size() && specs[i + 1].KeyNo == s.KeyNo) flags |= StatKeyFlag::Segmented;
    flags |= StatKeyFlag::ExtendedType;
    PutWordBytes(entry + StatSegmentField::Flags, flags);
    FillKeySpecTail(entry, s.AutoInc);
  }
  return true;
}

}  // namespace

bool BuildCreateBuffer(uint16_t RecLen, int8_t SegCount, std::span<const TKeySpec> Specs, std::vector<uint8_t>& buffer,
                       std::string& Msg) {
  if (SegCount > MaxKeySegments) {
    Msg = "Number of key segments exceeds 50.  This is not allowed.";
    return false;
  }
  buffer.assign(StatHeaderSize + StatSegmentSize * size_t(std::max<int>(SegCount, 0)), 0);
  if (!CheckRecordLength(buffer.data(), RecLen, Msg)) return false;
  // The caller's array stays as it was.
  std::vector<TKeySpec> specs(Specs.begin(), Specs.end());
  const int keys = BtrCheckKeySpecs(SegCount, specs, Msg);
  if (keys == -1) Msg = "Unspecified error interpreting key specifications";
  if (!Msg.empty()) return false;
  specs.resize(size_t(SegCount));
  buffer[StatField::KeyCount] = uint8_t(keys);
  FillFileSpecTail(buffer.data());
  return FillSegments(buffer, RecLen, specs, Msg);
}


void PutWordBytes(uint8_t* P, uint16_t Value) {
  P[0] = uint8_t(Value & 0xFF);
  P[1] = uint8_t(Value >> 8);
}

bool CheckRecordLength(uint8_t* Header, uint16_t RecLen, std::string& Msg) {
  PutWordBytes(Header + StatField::RecordLength, RecLen);
  PutWordBytes(Header + StatField::PageSize, CreatePageSize);
  if (RecLen <= MaxCreateRecordLength) return true;
  Msg = "Record length exceeds maximum of 3000";
  return false;
}

void FillFileSpecTail(uint8_t* Header) {
  std::memset(Header + StatField::KeyCount + 1, 0, StatHeaderSize - StatField::KeyCount - 1);
  Header[CreateMarkByte] = 1;
}

void FillKeySpecTail(uint8_t* Segment, bool AutoInc) {
  const size_t tail = StatSegmentField::Flags + 2;
  std::memset(Segment + tail, 0, StatSegmentSize - tail);
  Segment[StatSegmentField::Type] = AutoInc ? StatKeyType::AutoIncrement : StatKeyType::String;
}

int BtrCheckKeySpecs(int8_t SegCount, std::span<TKeySpec> Specs, std::string& Msg) {
  Msg.clear();
  if (SegCount < 1) {
    Msg = "This function does not support non-keyed files.";
    return -1;
  }
  // Segments the caller declared but did not pass.
  if (size_t(SegCount) > Specs.size()) return -1;
  int keys = 1;
  for (size_t i = 0; i < size_t(SegCount); ++i) {
    TKeySpec& s = Specs[i];
    if (s.Length == 0) {
      Msg = "Zero key length is invalid!";
      return keys;
    }
    if (i == 0) {
      if (!s.AutoInc) {
        Msg = "First key (key 0) must be autoincrement";
        return keys;
      }
      s.Length = AutoIncKeyLength;
      if (SegCount > 1 && Specs[1].KeyNo == s.KeyNo) {
        Msg = "AutoIncrement key may not have segments.";
        return keys;
      }
    }
    if (s.Position == 0) {
      Msg = "Invalid specification for keys. One or more segments undefined.\r(Key position for key " + IntToStr(i) +
            " is less than or equal to zero.)\r\rThe file will not be created.";
      return keys;
    }
    if (i > 0) {
      const TKeySpec& previous = Specs[i - 1];
      if (s.KeyNo == previous.KeyNo) {
        s.Duplicates = previous.Duplicates;
        s.Modifiable = previous.Modifiable;
      } else {
        ++keys;
      }
    }
  }
  return keys;
}

namespace {

// Create as the engine's own call with a fresh position block; False with
// the status text in Msg.
bool CreateAtEngine(const std::string& name, std::vector<uint8_t>& buffer, bool NoOverwrite, std::string& Msg) {
  std::array<uint8_t, PosBlockSize> posBlock{};
  std::array<uint8_t, KeyBufferSize> key{};
  std::memcpy(key.data(), name.data(), name.size());
  auto length = uint32_t(buffer.size());
  const int16_t status = BTRCALL(BtrOp::Create, posBlock.data(), buffer.data(), &length, key.data(),
                                 uint8_t(name.size() + 1), NoOverwrite ? CreateNoReplace : CreateReplace);
  Msg = BtrieveStatusText(status);
  return status == BtrStatus::Success;
}

bool CreateFile(const std::string& Name, uint16_t RecLen, int8_t SegCount, std::string& Msg, size_t MaxLen,
                bool NoOverwrite, std::span<const TKeySpec> Specs) {
  std::vector<uint8_t> buffer;
  if (!BuildCreateBuffer(RecLen, SegCount, Specs, buffer, Msg)) return false;
  const std::string name = Name.substr(0, Name.find('\0'));
  // The name and its zero byte must fit the key length.
  if (name.size() >= CallKeyLength) {
    Msg = BtrieveStatusText(InvalidFileName);
    return false;
  }
  return BtrLoadEngine(Msg, MaxLen) && CreateAtEngine(name, buffer, NoOverwrite, Msg);
}

}  // namespace

bool BtrCreateFile(const std::string& Name, uint16_t RecLen, int8_t SegCount, std::string& Msg, size_t MaxLen,
                   bool NoOverwrite, std::span<const TKeySpec> Specs) {
  Msg.clear();
  const bool created = CreateFile(Name, RecLen, SegCount, Msg, MaxLen, NoOverwrite, Specs);
  Msg.resize(std::min(Msg.size(), MaxLen));
  return created;
}

void BtrCloneFile(uint8_t FileNo, const std::string& NewName) {
  BtrCheckFileNo(FileNo);
  TWinBtr& e = *FileSlots[FileNo].Engine;
  const int16_t status = CallStatus(e, [&] { e.CreateFileLike(NewName); });
  if (status != BtrStatus::Success)
    throw EBtrAbort("The file " + NewName + " could not be created as a clone.\r\r" + BtrStatusTail(status), status);
}
