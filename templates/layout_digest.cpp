#include "templates/layout_digest.h"

#include "btrieve/numbered_files.h"
#include "platform/files.h"
#include "templates/descriptor_codec.h"
#include "templates/file_slot_guards.h"
#include "templates/template_number.h"
#include "templates/template_state.h"

namespace {

constexpr uint8_t DigestFileNo = 200;
constexpr uint64_t FnvPrime = 1099511628211ull;
constexpr int DscKeyNo = 1;

uint64_t FoldByte(uint64_t Digest, uint8_t Byte) { return (Digest ^ Byte) * FnvPrime; }

}  // namespace

const std::string LayoutChangedMsg =
    "This template has been changed on another workstation since you began to modify it.\rNothing has been "
    "saved.  Please close the template and modify it again.";

uint64_t FoldLayoutRecord(uint64_t Digest, std::string_view Record) {
  // The length first, so that records cannot shift bytes between them.
  const uint32_t length = static_cast<uint32_t>(Record.size());
  for (int k = 0; k < 4; ++k) Digest = FoldByte(Digest, static_cast<uint8_t>(length >> (8 * k)));
  for (const char c : Record) Digest = FoldByte(Digest, static_cast<uint8_t>(c));
  return Digest;
}

uint64_t DescriptorDigest(const std::string& Number) {
  const std::string name = Store.DataDir + "\\mngr" + Number + ".dsc";
  if (!FileExists(name)) return 0;
  BtrOpenFile(DigestFileNo, name, 0);
  TSlotCloser closer(DigestFileNo);
  BtrSetKeyNumber(DigestFileNo, DscKeyNo);
  TDynCharArr rec(DscRecordLength);
  uint64_t digest = LayoutDigestStart;
  bool atEnd = false;
  for (BtrGetFirst(DigestFileNo, rec, atEnd, false); !atEnd; BtrGetNext(DigestFileNo, rec, atEnd, false)) {
    digest = FoldLayoutRecord(digest, std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size()));
  }
  return digest;
}

bool LayoutStillCurrent() {
  if (Store.LayoutDigest == 0) return false;
  // The entry screen keeps the number blank-filled ("  7"), the file name
  // wants it zero-filled.
  TTemplateNumber number;
  if (!TTemplateNumber::TryParse(Store.TplNumber, number)) return false;
  return DescriptorDigest(number.ZeroFilled()) == Store.LayoutDigest;
}
