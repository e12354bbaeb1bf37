// The readers of the family files' records (templates/family_files.h,
// packed_decimal.h, product_dates.h) on any bytes: a file chosen by the
// first byte, then its record as stored, which may be shorter or longer
// than the family says. Every field is cut out, the name parts joined, the
// packed amounts and the file dates turned into text as the lookups show
// them.
#include "fuzz/fuzz_input.h"
#include "fuzz/fuzz_support.h"
#include "templates/family_files.h"
#include "templates/packed_decimal.h"
#include "templates/product_dates.h"
#include "templates/validation_files.h"

#include <array>

namespace {

constexpr std::array<TFamilyField, 4> CasePacked{CaseFld::Threshold, CaseFld::FeeBudget, CaseFld::CostBudget,
                                                 CaseFld::RetainerMin};
constexpr std::array<TFamilyField, 4> CaseDates{CaseFld::Opened, CaseFld::LastPosting, CaseFld::LastPayment,
                                                CaseFld::Closed};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  static const bool quiet = (InstallQuietDialogs(), true);
  (void)quiet;
  FuzzInput in(bytes, size);
  const auto files = FamilyFiles();
  const TFamilyFile& file = *files[in.Byte() % files.size()];
  const std::string record = in.Rest();
  // Every position the family names, up to the longest record.
  for (uint16_t pos = 1; pos <= file.RecLen; pos = uint16_t(pos + 7)) FieldText(record, TFamilyField{pos, 9});
  std::string name = FieldText(record, ClientFld::Name);
  JoinNameParts(name, ClientNamePart1, ClientNamePart2);
  name = FieldText(record, EmpFld::Name);
  JoinNameParts(name, EmpNamePart1, EmpNamePart2);
  for (const TFamilyField f : CasePacked) {
    std::string text = FieldText(record, f);
    DecimalToStr(text, HostFieldDecimals);
  }
  for (const TFamilyField f : CaseDates) {
    std::string shown;
    FileDateToDisplayDate(FieldText(record, f), true, shown);
    FileDateToShortDisplayDate(FieldText(record, f), true, shown);
    FileDateToDate(FieldText(record, f), true);
  }
  for (int code = 0; code < 100; ++code) {
    TLkpColumn entry;
    if (!LookupFieldEntry(code, entry)) continue;
    const std::string value = FieldText(record, TFamilyField{uint16_t(entry[1]), uint16_t(entry[2])});
    if (entry[3] > 0) HostTranslationKey(entry[3], value, entry[5]);
  }
  return 0;
}

FuzzSeedList FuzzSeeds() {
  FuzzSeedList seeds;
  const auto files = FamilyFiles();
  for (size_t i = 0; i < files.size(); ++i) {
    std::string record = NewFamilyRecord(*files[i]);
    if (files[i] == &CaseFile) {
      PutField(record, CaseFld::Opened, "970315");
      const std::string amount = PackDecimal(123456, CaseFld::FeeBudget.Len);
      record.replace(CaseFld::FeeBudget.Pos - 1, amount.size(), amount);
    }
    if (files[i] == &ClientFile) PutField(record, ClientFld::Name, "John                          Smith");
    seeds.emplace_back(std::string(files[i]->Name), std::string(1, char(i)) + record);
  }
  return seeds;
}
