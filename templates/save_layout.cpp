#include "templates/save_layout.h"

#include "platform/text.h"
#include "templates/data_transfer.h"
#include "templates/store_constants.h"
#include "templates/store_utils.h"

#include <algorithm>
#include <bitset>
#include <utility>

namespace {

constexpr int FirstFieldPosition = 5;

[[noreturn]] void CannotPlace() { throw ESaveRefused(FieldPositionsMsg); }

void CheckFields() {
  if (Store.FldCount < 1 || Store.FldCount > MaxFields) CannotPlace();
  std::bitset<MaxFields + 1> ids;
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& f = Store.FldTable[k];
    if (f.Width < 1 || f.KeyWidth < 0 || f.KeyWidth > f.Width) CannotPlace();
    if (f.FldId < 1 || f.FldId > MaxFields || ids.test(size_t(f.FldId))) CannotPlace();
    ids.set(size_t(f.FldId));
  }
}

// Stored positions: at 5 or later, none overlapping; the end of the last.
int CheckStoredPositions(TFieldPositions& Positions) {
  std::vector<std::pair<int, int>> spans;  // start, end
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& f = Store.FldTable[k];
    if (f.Offset < FirstFieldPosition) CannotPlace();
    Positions[k] = f.Offset;
    spans.emplace_back(f.Offset, f.Offset + f.Width - 1);
  }
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i) {
    if (spans[i].first <= spans[i - 1].second) CannotPlace();
  }
  int end = 0;
  for (const auto& span : spans) end = std::max(end, span.second);
  return end;
}

int HandOutPositions(TFieldPositions& Positions) {
  int next = FirstFieldPosition;
  for (int k = 1; k <= Store.FldCount; ++k) TakePosition(Positions[k], next, Store.FldTable[k].Width);
  return next - 1;
}

// The build's index table from each field's memberships.
TIndexRecs CollectIndexes() {
  TIndexRecs indexes;
  for (int k = 1; k <= Store.FldCount; ++k) {
    const TFld& f = Store.FldTable[k];
    for (int j = 1; j <= MaxIndexes; ++j) {
      if (f.IdxNo[j] == 0 || f.SortPos[j] == 0) continue;
      if (f.IdxNo[j] < 1 || f.IdxNo[j] > MaxIndexes || f.SortPos[j] < 1 || f.SortPos[j] > MaxSortFields) CannotPlace();
      int& sortFld = indexes.SortFld(f.IdxNo[j], f.SortPos[j]);
      if (sortFld != 0 || f.KeyWidth < 1) CannotPlace();
      sortFld = k;
    }
  }
  // Indexes are written up to the first without a 1st sort field: one with
  // only later sort fields, one behind such a gap, or a name to write
  // without members would be dropped silently.
  const int count = indexes.IndexCount();
  for (int i = 1; i <= MaxIndexes; ++i) {
    const bool members = indexes.SortFld1[i] != 0 || indexes.SortFld2[i] != 0 || indexes.SortFld3[i] != 0;
    if (i > count && (members || !IsBlank(Store.IndexNamesToWrite[i]))) CannotPlace();
  }
  return indexes;
}

std::vector<TKeySegment> KeySegments(const TIndexRecs& Indexes, const TFieldPositions& Positions) {
  std::vector<TKeySegment> segments{PrefixKeySegment};
  for (int i = 1; i <= Indexes.IndexCount(); ++i) {
    for (int s = 1; s <= MaxSortFields; ++s) {
      const int slot = Indexes.SortFld(i, s);
      if (slot == 0) continue;
      segments.push_back(TKeySegment{uint8_t(i), uint8_t(s - 1), uint16_t(Positions[slot]),
                                     uint16_t(Store.FldTable[slot].KeyWidth), !Store.IndexUnique[i], true, false});
    }
  }
  return segments;
}

}  // namespace

const std::string FieldPositionsMsg = "Unable to calculate start positions for the field in your template.";

TSaveLayout PlanFields(bool Compact, bool CheckLength) {
  CheckFields();
  TSaveLayout layout;
  if (Compact) {
    layout.RecLen = HandOutPositions(layout.Positions);
    if (CheckLength && layout.RecLen != Store.RecLen) {
      throw ESaveRefused("There appears to be an error regarding the length of the fields in your template. " +
                         IntToStr(Store.RecLen) + ", " + IntToStr(layout.RecLen) + ContactMsg);
    }
  } else {
    layout.RecLen = std::max(Store.RecLen, CheckStoredPositions(layout.Positions));
  }
  layout.Indexes = CollectIndexes();
  layout.Segments = KeySegments(layout.Indexes, layout.Positions);
  return layout;
}

void ApplyLayout(const TSaveLayout& Layout) {
  for (int k = 1; k <= Store.FldCount; ++k) Store.FldTable[k].Offset = Layout.Positions[k];
  Store.RecLen = Layout.RecLen;
}
