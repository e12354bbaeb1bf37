#include "templates/grid_position.h"

#include "platform/format.h"
#include "platform/text.h"
#include "templates/template_state.h"

namespace {

constexpr size_t CellWidth = 3;
constexpr uint8_t TemplateDataFileNo = 52;

std::string FormatByte(uint8_t b) { return Format("%3s", IntToStr(b)); }

// One right-aligned byte value, exactly as FormatByte writes it.
bool ParseByte(std::string_view cell, uint8_t& b) {
  size_t digits = cell.find_first_not_of(' ');
  if (digits == std::string_view::npos) return false;
  unsigned value = 0;
  for (size_t i = digits; i < cell.size(); ++i) {
    if (cell[i] < '0' || cell[i] > '9') return false;
    value = value * 10 + unsigned(cell[i] - '0');
  }
  // A leading zero ("007") is not how a position is written.
  if (value > 255 || (cell[digits] == '0' && digits + 1 < cell.size())) return false;
  b = uint8_t(value);
  return true;
}

}  // namespace

std::string FormatGridPosition(const TBtrPosition& Pos) {
  std::string cell;
  for (uint8_t b : Pos) cell += FormatByte(b);
  return cell;
}

bool ParseGridPosition(std::string_view Cell, TBtrPosition& Pos) {
  if (Cell.size() != CellWidth * Pos.size()) return false;
  TBtrPosition parsed;
  for (size_t i = 0; i < parsed.size(); ++i) {
    if (!ParseByte(Cell.substr(i * CellWidth, CellWidth), parsed[i])) return false;
  }
  Pos = parsed;
  return true;
}

bool GetGridRowRecord(std::string_view PosCell, std::string& Msg) {
  Msg.clear();
  TBtrPosition pos;
  if (!ParseGridPosition(PosCell, pos)) return false;
  try {
    BtrGetDirect(TemplateDataFileNo, Store.TplRec, pos);
    return true;
  } catch (const EAbort& e) {
    Msg = e.Message;
    return false;
  }
}
