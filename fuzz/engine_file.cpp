// The record manager on files of its own whose rows are damaged: a spec,
// a run of calls, and the rows of the records table (fuzz/stored_file.h,
// fuzz/engine_calls.h). The file of a spec is made once by the engine's
// Create and kept, held open by the engine, while the spec repeats; each
// input rewrites its rows through SQLite and makes its calls on a block of
// its own, so every read meets the rows as the input left them.
#include "engine/file_spec.h"
#include "fuzz/engine_calls.h"
#include "fuzz/fuzz_support.h"
#include "fuzz/stored_file.h"
#include "templates/descriptor_codec.h"
#include "templates/family_files.h"
#include "templates/master_codec.h"

#include <cstring>
#include <memory>
#include <vector>

extern "C" int16_t BTRCALL(uint16_t op, void* posBlock, void* data, uint32_t* dataLen, void* key, uint8_t keyLen,
                           int8_t keyNum);

namespace {

// The file of the last spec, held open by one position block of its own.
class CurrentFile {
public:
  explicit CurrentFile(std::string path) : path_(std::move(path)) {}
  ~CurrentFile() { Drop(); }

  // Makes the file of spec unless it is the current one; false when the
  // engine refuses the spec.
  bool Take(const std::string& spec) {
    if (writer_ && spec == spec_) return true;
    Drop();
    if (engine::DecodeCreateBuffer(reinterpret_cast<const uint8_t*>(spec.data()), spec.size(), decoded_) != 0)
      return false;
    if (CreateStoredFile(BTRCALL, path_, spec) != 0) return false;
    std::string name = path_ + '\0';
    uint32_t none = 0;
    if (BTRCALL(0, holder_, nullptr, &none, name.data(), uint8_t(name.size()), 0) != 0) return false;
    spec_ = spec;
    writer_ = std::make_unique<StoredRowWriter>(path_, decoded_);
    return true;
  }
  const engine::FileSpec& Spec() const { return decoded_; }
  StoredRowWriter& Writer() { return *writer_; }

private:
  void Drop() {
    uint32_t none = 0;
    BTRCALL(1, holder_, nullptr, &none, nullptr, 0, 0);
    writer_.reset();
    RemoveStoredFile(path_);
  }

  std::string path_;
  std::string spec_;
  engine::FileSpec decoded_;
  std::unique_ptr<StoredRowWriter> writer_;
  uint8_t holder_[128] = {};
};

// Input: the spec, then the calls, then the rows.
std::string EncodeInput(const std::string& spec, const std::vector<EngineCall>& calls, const std::vector<StoredRow>& rows) {
  FuzzOutput out;
  out.Sized(spec);
  WriteEngineCalls(out, calls);
  StoredFile file{"", rows};
  FuzzOutput rowsOut;
  WriteStoredFile(rowsOut, file);
  // WriteStoredFile leads with the (empty) spec's length: drop it.
  out.Bytes(std::string_view(rowsOut.Str()).substr(2));
  return out.Str();
}

std::string Buffer(uint16_t recLen, std::span<const TKeySpec> keys) {
  std::vector<uint8_t> buffer;
  std::string msg;
  BuildCreateBuffer(recLen, int8_t(keys.size()), keys, buffer, msg);
  return std::string(buffer.begin(), buffer.end());
}

std::string Prefixed(uint32_t prefix, const std::string& text) {
  std::string record(4, '\0');
  for (int i = 0; i < 4; ++i) record[i] = char(prefix >> (8 * i));
  return record + text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  // Never destroyed: the engine it closes through may be gone by then.
  static CurrentFile& current = *new CurrentFile(ScratchPath("engine_file.dat"));
  FuzzInput in(bytes, size);
  if (!current.Take(ReadStoredSpec(in))) return 0;
  const std::vector<EngineCall> calls = ReadEngineCalls(in);
  if (!current.Writer().Replace(ReadStoredRows(in, current.Spec().Keys.size()))) return 0;
  RunEngineCalls(BTRCALL, ScratchPath("engine_file.dat"), calls);
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  const std::string master = Buffer(MasterRecordLength, MasterKeySegments);
  std::vector<StoredRow> masterRows;
  for (int n = 1; n <= 3; ++n)
    masterRows.push_back(SoundRow(Prefixed(0, FormatMasterText("Template " + std::to_string(n), TTemplateNumber(n)))));
  seeds.emplace_back("master", EncodeInput(master, WalkCalls(3), masterRows));

  const std::string descriptor = Buffer(DscRecordLength, DescriptorKeySegments);
  TFld fld;
  fld.Name = "Client";
  fld.Width = 7;
  fld.FldType = 'C';
  fld.FldId = 1;
  TIndexRecord index;
  index.Number = 1;
  index.Name = "By client";
  index.TplName = "Template";
  std::vector<StoredRow> dscRows{SoundRow(Prefixed(1, FormatFieldRecord(fld, 5))),
                                 SoundRow(Prefixed(2, FormatIndexRecord(index)))};
  seeds.emplace_back("descriptor", EncodeInput(descriptor, WalkCalls(3), dscRows));

  for (const TFamilyFile* file : FamilyFiles()) {
    std::vector<StoredRow> rows{SoundRow(NewFamilyRecord(*file))};
    int keys = 0;
    for (const TKeySpec& k : file->Keys) keys = std::max(keys, k.KeyNo + 1);
    seeds.emplace_back(std::string(file->Name), EncodeInput(Buffer(file->RecLen, file->Keys), WalkCalls(keys), rows));
  }
  return seeds;
}
