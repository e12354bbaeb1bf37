#include "entry/grid_references.h"

#include "btrieve/numbered_files.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"
#include "templates/descriptor_file.h"
#include "templates/file_slot_guards.h"
#include "templates/record_codec.h"
#include "templates/save_lock.h"
#include "templates/template_recovery.h"
#include "templates/template_state.h"

namespace {

const std::string NoDescriptorText = "Unable to access a descriptor file in order to retrieve a template name.";

// Whether a record of the referring data file holds Value at the
// reference's place; read to the first one.
bool ReferringRecordHolds(const TLookupReference& Ref, const std::string& Value) {
  BtrOpenFile(ReferringDataFileNo, DataFileName(Ref.Template), 0);
  TSlotCloser closing(ReferringDataFileNo);
  TDynCharArr rec(1);
  bool atEnd = false;
  for (BtrGetFirst(ReferringDataFileNo, rec, atEnd, false); !atEnd; BtrGetNext(ReferringDataFileNo, rec, atEnd, false)) {
    const std::string_view text(reinterpret_cast<const char*>(rec.data()), rec.size());
    const size_t at = size_t(std::max(1, Ref.Position) - 1);
    if (at < text.size() && Trim(text.substr(at, size_t(Ref.KeyWidth))) == Value) return true;
  }
  return false;
}

// The template name from the referring template's descriptor; false when
// it has no name record.
bool ReferringTemplateName(const TLookupReference& Ref, std::string& Name) {
  BtrOpenFile(ReferringDescFileNo, DescriptorFileName(Ref.Template), 0);
  TSlotCloser closing(ReferringDescFileNo);
  TDynCharArr rec(1);
  if (!ReadNameRecord(ReferringDescFileNo, rec)) return false;
  Name = Trim(ParseIndexRecord(std::string_view(reinterpret_cast<const char*>(rec.data()), rec.size())).TplName);
  return true;
}

}  // namespace

TReferenceScan ReferenceScan(const std::vector<TLookupReference>& References, std::string_view Record) {
  std::string list;
  try {
    for (const TLookupReference& ref : References) {
      const int slot = FieldSlotOf(ref.ReferencedId);
      if (slot < 1 || slot > Store.FldCount) return {TReferenceOutcome::Failed, "Field " + ref.FieldName + " not found."};
      const std::string value = Trim(FieldTextOf(Record, Store.FldTable[slot]));
      TSaveLock lock;
      if (!AcquireSharedAfterRecovery(Store.DataDir, ref.Template.Value(), DataFileName(ref.Template), FileLockMsg,
                                      lock))
        return {TReferenceOutcome::Failed, ""};
      if (!ReferringRecordHolds(ref, value)) continue;
      std::string name;
      if (!ReferringTemplateName(ref, name)) return {TReferenceOutcome::Failed, NoDescriptorText};
      list += "\r" + name;
    }
  } catch (const Exception& e) {
    return {TReferenceOutcome::Failed, e.Message};
  }
  if (list.empty()) return {};
  return {TReferenceOutcome::Referenced,
          "The following template(s) reference the record you are attempting to delete: \r\r" + list + "\r\r" +
              "It may not be deleted until records in other templates that " + "refer to it are deleted."};
}
