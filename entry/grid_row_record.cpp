#include "entry/grid_row_record.h"

#include "btrieve/numbered_files.h"
#include "templates/data_file_open.h"
#include "templates/grid_position.h"
#include "templates/record_codec.h"
#include "templates/template_state.h"

namespace {

constexpr uint8_t TplFile = 52;

// Puts file 52's key number back however the scope ends.
class TKeyRestore {
public:
  TKeyRestore() : key_(BtrGetKeyNumber(TplFile)) {}
  ~TKeyRestore() {
    try {
      if (BtrIsFileOpen(TplFile)) BtrSetKeyNumber(TplFile, key_);
    } catch (...) {
      // The file's failure has been raised already; the key goes with it.
    }
  }
  TKeyRestore(const TKeyRestore&) = delete;
  TKeyRestore& operator=(const TKeyRestore&) = delete;

private:
  int8_t key_;
};

}  // namespace

int GridIndexKey(int IndexNo) { return DataKeyOfIndex(TplFile, IndexNo); }

void SetGridIndexKey(int IndexNo) {
  if (BtrIsFileOpen(TplFile)) BtrSetKeyNumber(TplFile, int8_t(GridIndexKey(IndexNo)));
}

TGridRowSeek SeekGridRowRecord(const std::string& KeyText, const std::string& PositionCell) {
  OpenTemplateDataFile(TplFile);
  TKeyRestore restore;
  const int8_t first = int8_t(GridIndexKey(1));
  if (BtrGetKeyNumber(TplFile) != first) BtrSetKeyNumber(TplFile, first);
  if (!BtrGetEqual(TplFile, KeyText, Store.TplRec, true)) return TGridRowSeek::NotFound;
  bool atEnd = false;
  while (FormatGridPosition(BtrSavePosition(TplFile, Store.TplRec)) != PositionCell) {
    BtrGetNext(TplFile, Store.TplRec, atEnd, true);
    if (atEnd) return TGridRowSeek::PositionMismatch;
  }
  return TGridRowSeek::Matched;
}
