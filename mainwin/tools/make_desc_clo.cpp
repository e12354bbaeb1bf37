// make-desc-clo FILE: writes the empty description batch file "Desc.clo"
// that start-up copies to each workstation's DESC file, replacing an older
// one. Run by the build beside the record manager, which it loads from its
// own folder.
//
// The file has no auto-increment key: its key 0 is the link and the line
// letter, so the create buffer is filled here and handed to the record
// manager's Create as it stands.
//
// Exit status: 0 written, 1 the record manager refused (its status on
// standard error), 2 bad arguments.
#include "btrieve/binding.h"
#include "btrieve/create_file.h"
#include "btrieve/stat_layout.h"
#include "btrieve/status_text.h"
#include "btrieve/win_btr.h"
#include "templates/batch_codec.h"

#include <array>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Create with key number 0 replaces an existing file.
constexpr int8_t CreateReplace = 0;

std::vector<uint8_t> DescCreateBuffer() {
  std::vector<uint8_t> buffer(StatHeaderSize + StatSegmentSize, 0);
  std::string msg;
  CheckRecordLength(buffer.data(), DescRecLen, msg);
  buffer[StatField::KeyCount] = 1;
  FillFileSpecTail(buffer.data());
  uint8_t* segment = buffer.data() + StatHeaderSize;
  PutWordBytes(segment + StatSegmentField::Position, DescLinkPos);
  PutWordBytes(segment + StatSegmentField::Length, DescKeyLen);
  // Unique and fixed: neither duplicates nor modifiable.
  PutWordBytes(segment + StatSegmentField::Flags, StatKeyFlag::ExtendedType);
  FillKeySpecTail(segment, false);
  return buffer;
}

void Fail(const std::string& text) { std::fprintf(stderr, "make-desc-clo: %s\n", text.c_str()); }

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 || !*argv[1]) {
    Fail("usage: make-desc-clo FILE");
    return 2;
  }
  const std::string name = argv[1];
  if (name.size() >= CallKeyLength) {
    Fail("the file name is too long: " + name);
    return 2;
  }
  int16_t status = LoadBtrieveDll("", "");
  if (status == BtrStatus::Success || status == BtrStatus::AlreadyStarted) {
    std::vector<uint8_t> buffer = DescCreateBuffer();
    std::array<uint8_t, PosBlockSize> posBlock{};
    std::array<uint8_t, KeyBufferSize> key{};
    std::memcpy(key.data(), name.data(), name.size());
    auto length = uint32_t(buffer.size());
    status = BTRCALL(BtrOp::Create, posBlock.data(), buffer.data(), &length, key.data(), uint8_t(name.size() + 1),
                     CreateReplace);
    UnloadBtrieveDll();
  }
  if (status != BtrStatus::Success) {
    Fail(name + ": " + BtrieveStatusText(status));
    return 1;
  }
  return 0;
}
