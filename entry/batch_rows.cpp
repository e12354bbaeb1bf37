#include "entry/batch_rows.h"

#include "entry/batch_files.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/batch_codec.h"
#include "templates/grid_position.h"
#include "templates/product_dates.h"

std::vector<TBatchRow> LoadBatchRows() {
  std::vector<TBatchRow> rows;
  BtrSetKeyNumber(TrinFileNo, 0);
  bool atEnd = false;
  for (BtrGetFirst(TrinFileNo, TrinRec, atEnd, false); !atEnd; BtrGetNext(TrinFileNo, TrinRec, atEnd, false)) {
    TBatchRow row;
    FileDateToDisplayDate(FieldText(TrinRec, TrinField::Date), true, row.Date);
    row.Employee = FieldText(TrinRec, TrinField::Employee);
    row.Client = FieldText(TrinRec, TrinField::Client);
    row.CaseSuffix = FieldText(TrinRec, TrinField::CaseSuffix);
    row.Group = FieldText(TrinRec, TrinField::Group);
    const std::string packed = FieldText(TrinRec, TrinField::Hours);
    row.Hours = PackedHoursToText(packed);
    row.Hundredths = PackedHoursToHundredths(packed);
    row.Link = FieldText(TrinRec, TrinField::Link);
    row.Position = FormatGridPosition(BtrSavePosition(TrinFileNo, TrinRec));
    row.Description = JoinDescPieces(ReadDescPieces(row.Link));
    rows.push_back(std::move(row));
  }
  return rows;
}

int64_t TotalHundredths(const std::vector<TBatchRow>& Rows) {
  int64_t total = 0;
  for (const TBatchRow& row : Rows)
    if (!row.Deleted) total += row.Hundredths;
  return total;
}

std::string HundredthsText(int64_t Hundredths) {
  const bool negative = Hundredths < 0;
  const uint64_t magnitude = negative ? 0 - uint64_t(Hundredths) : uint64_t(Hundredths);
  return (negative ? "-" : "") + IntToStr(magnitude / 100) + "." + Format("%.2d", int(magnitude % 100));
}
