// A field-table entry for tests: the given type and width, FldId = SeqNo,
// KeyWidth = Width, everything else as a cleared slot.
#pragma once

#include "templates/template_state.h"

#include <string>

inline TFld Field(int seq, const std::string& name, char type, int width) {
  TFld f;
  f.SeqNo = seq;
  f.FldId = seq;
  f.Name = name;
  f.FldType = type;
  f.Width = width;
  f.KeyWidth = width;
  return f;
}
