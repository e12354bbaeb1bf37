#include "templates/old_layout.h"

#include "btrieve/numbered_files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/descriptor_codec.h"

namespace {

// After a failed read: the read's failure is what the caller hears of, not
// a close behind it.
void CloseQuietly() {
  try {
    BtrCloseFile(OldDescriptorFileNo);
  } catch (const std::exception&) {
  }
}

void Add(TOldLayout& Layout, const TFld& Fld, const std::string& DscName, int RecordLimit) {
  const TOldField field{Fld.Offset, Fld.Width, Fld.KeyWidth};
  const bool placed = field.Offset >= 5 && field.Width > 0 && field.Offset + field.Width - 1 <= RecordLimit &&
                      field.KeyWidth >= 0 && field.KeyWidth <= field.Width;
  if (!placed || Layout.contains(Fld.FldId)) {
    throw EDescriptorError(Format("%s: field \"%s\" (id %d) at %d, %d wide (%d in keys), does not fit the data "
                                  "records of %d characters or its id is taken twice.",
                                  DscName, Trim(Fld.Name), Fld.FldId, field.Offset, field.Width, field.KeyWidth,
                                  RecordLimit));
  }
  Layout[Fld.FldId] = field;
}

void ReadFields(const std::string& DscName, int RecordLimit, TOldLayout& Layout) {
  BtrSetKeyNumber(OldDescriptorFileNo, 0);
  TDynCharArr rec(DscRecordLength);
  bool atEnd = false;
  for (BtrGetFirst(OldDescriptorFileNo, rec, atEnd, false); !atEnd; BtrGetNext(OldDescriptorFileNo, rec, atEnd, false)) {
    const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
    if (!IsIndexRecord(record)) Add(Layout, ParseFieldRecord(record), DscName, RecordLimit);
  }
}

}  // namespace

TOldLayout ReadOldLayout(const std::string& DscName, int RecordLimit) {
  BtrOpenFile(OldDescriptorFileNo, DscName, 0);
  TOldLayout layout;
  try {
    ReadFields(DscName, RecordLimit, layout);
  } catch (...) {
    CloseQuietly();
    throw;
  }
  BtrCloseFile(OldDescriptorFileNo);
  return layout;
}
