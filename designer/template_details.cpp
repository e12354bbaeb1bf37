#include "designer/template_details.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/file_slot_guards.h"
#include "templates/master_codec.h"
#include "templates/master_file.h"

namespace {

constexpr auto NameKeyNo = static_cast<int8_t>(MasterKeySegments[1].KeyNo);
constexpr auto NumberKeyNo = static_cast<int8_t>(MasterKeySegments[2].KeyNo);

std::string TemplateNameOf(const TTemplateNumber& Number) {
  TDynCharArr rec(MasterRecordLength);
  if (!BtrGetEqual(MasterFileNo, MasterNumberKey(Number), rec, false)) return DetailNotFound;
  return TrimRight(ParseMasterText(MasterText(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size())))
                       .Name);
}

}  // namespace

const std::string DetailNotFound = "Not found";

std::vector<TDetailRow> DetailRows(const std::vector<TLookupReference>& References) {
  const bool wasOpen = BtrIsFileOpen(MasterFileNo);
  if (!wasOpen) BtrOpenFile(MasterFileNo, MasterFileName(), 0);
  const TSlotCloser master(MasterFileNo, !wasOpen);
  BtrSetKeyNumber(MasterFileNo, NumberKeyNo);
  std::vector<TDetailRow> rows;
  for (const TLookupReference& r : References) rows.push_back({TemplateNameOf(r.Template), r.FieldName});
  if (wasOpen) BtrSetKeyNumber(MasterFileNo, NameKeyNo);
  return rows;
}
