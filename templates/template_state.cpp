#include "templates/template_state.h"

#include "platform/format.h"

#include <memory>
#include <utility>

TTemplateStore Store;

void RaiseTableIndex(std::string_view Table, int Index, int Lo, int Hi) {
  throw ETableIndex(Format("%s[%d] is outside %d..%d.", Table, Index, Lo, Hi));
}

int& TIndexRecs::SortFld(int I, int K) {
  switch (K) {
    case 1: return SortFld1[I];
    case 2: return SortFld2[I];
    case 3: return SortFld3[I];
  }
  RaiseTableIndex("sort field", K, 1, MaxSortFields);
}

int TIndexRecs::SortFld(int I, int K) const { return const_cast<TIndexRecs*>(this)->SortFld(I, K); }

int TIndexRecs::IndexCount() const {
  int n = 0;
  while (n < MaxIndexes && SortFld1[n + 1] != 0) ++n;
  return n;
}

void TTemplateStore::Reset() {
  // The tables are too large for a temporary on the stack.
  auto fresh = std::make_unique<TTemplateStore>();
  fresh->HostFldNames = std::move(HostFldNames);
  *this = std::move(*fresh);
}

void InitFieldSlot(int I) { Store.FldTable[I] = TFld(); }

int FieldSlotOf(int FldId) {
  for (int k = 1; k <= Store.FldCount; ++k) {
    if (Store.FldTable[k].FldId == FldId) return k;
  }
  return 0;
}
