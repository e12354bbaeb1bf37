#include "entry/grid_layout_seam.h"

namespace {

TGridLayoutCheck& Check() {
  static TGridLayoutCheck check;
  return check;
}

}  // namespace

void SetGridLayoutCheck(TGridLayoutCheck C) { Check() = std::move(C); }

bool GridLayoutStillCurrent() { return !Check() || Check()(); }
