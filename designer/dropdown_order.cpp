#include "designer/dropdown_order.h"

#include "designer/host_fields.h"
#include "platform/text.h"

#include <utility>

TDropdownOrder::TDropdownOrder(std::vector<std::string> Names, bool Locked)
    : names_(std::move(Names)), keys_(names_.size(), false), locked_(Locked) {
  if (names_.empty()) return;
  keys_[0] = true;
  const int partner = CodeFieldOfNameField(HostCodeOfName(Trim(names_[0])));
  if (partner < 0) return;
  for (size_t k = 1; k < names_.size(); ++k) {
    if (HostCodeOfName(Trim(names_[k])) == partner) keys_[k] = true;
  }
}

void TDropdownOrder::Select(int I) {
  if (I >= 0 && I < Count()) selected_ = I;
}

void TDropdownOrder::Swap(int A, int B) {
  std::swap(names_[size_t(A)], names_[size_t(B)]);
  const bool key = keys_[size_t(A)];
  keys_[size_t(A)] = keys_[size_t(B)];
  keys_[size_t(B)] = key;
}

std::string TDropdownOrder::MoveLeft() {
  const int i = selected_;
  if (i <= 0 || i >= Count()) return "";
  if (i == 1) {
    if (!keys_[1]) return NotIntoLeftmostMsg;
    if (locked_) return DropdownLockedMsg;
  }
  Swap(i - 1, i);
  selected_ = i - 1;
  return "";
}

std::string TDropdownOrder::MoveRight() {
  const int i = selected_;
  if (i < 0 || i >= Count() - 1) return "";
  if (i == 0) {
    if (!keys_[1]) return NotOutOfLeftmostMsg;
    // The leftmost field is the index the stored values were read by.
    if (locked_) return DropdownLockedMsg;
  }
  Swap(i, i + 1);
  selected_ = i + 1;
  return "";
}

TDropdownDelete TDropdownOrder::Delete() {
  const int i = selected_;
  if (i < 0 || i >= Count()) return TDropdownDelete::Removed;
  if (LockedRefusal()) return TDropdownDelete::Refused;
  if (i == 0 && (Count() < 2 || !keys_[1])) return TDropdownDelete::AskRemoveAll;
  names_.erase(names_.begin() + i);
  keys_.erase(keys_.begin() + i);
  if (selected_ >= Count()) selected_ = Count() - 1;
  if (selected_ < 0) selected_ = 0;
  return TDropdownDelete::Removed;
}

void TDropdownOrder::RemoveAll() {
  names_.clear();
  keys_.clear();
  selected_ = 0;
}
