// Fixed tables indexed the way the store's globals are: from Lo to Hi
// inclusive, mostly 1-based. An index outside the bounds raises
// ETableIndex naming the table and its bounds, so a caller that runs past a
// capacity (a 51st field, a sixth index) gets a clear error instead of a
// write beside the table.
#pragma once

#include "platform/errors.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string_view>

class ETableIndex : public Exception {
public:
  using Exception::Exception;
};

// "FldTable[55] is outside 1..54."
[[noreturn]] void RaiseTableIndex(std::string_view Table, int Index, int Lo, int Hi);

// A table's name as a template argument, so the bounds check can name it
// without storing anything per table.
template <std::size_t N>
struct TTableName {
  char Text[N];
  constexpr TTableName(const char (&S)[N]) { std::copy_n(S, N, Text); }
  constexpr std::string_view View() const { return {Text, N - 1}; }
};

template <class T, int Lo, int Hi, TTableName Name>
class TTable {
public:
  static_assert(Lo <= Hi);
  static constexpr int Low = Lo;
  static constexpr int High = Hi;
  static constexpr int Count = Hi - Lo + 1;

  TTable() = default;
  // Every entry set to Value.
  explicit TTable(const T& Value) { items_.fill(Value); }

  static constexpr bool InRange(int I) { return I >= Lo && I <= Hi; }

  T& operator[](int I) { return items_[Slot(I)]; }
  const T& operator[](int I) const { return items_[Slot(I)]; }

  void Fill(const T& Value) { items_.fill(Value); }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

  bool operator==(const TTable&) const = default;

private:
  static std::size_t Slot(int I) {
    if (!InRange(I)) RaiseTableIndex(Name.View(), I, Lo, Hi);
    return static_cast<std::size_t>(I - Lo);
  }
  std::array<T, Count> items_{};
};
