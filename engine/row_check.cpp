#include "engine/row_check.h"

namespace engine {

std::string RowFaultText(RowFault fault, size_t key) {
  const std::string k = "key " + std::to_string(key);
  switch (fault) {
    case RowFault::None:
      return "sound";
    case RowFault::Position:
      return "the position is not a number from 1 to 4294967295";
    case RowFault::RecordNotBlob:
      return "the record is not stored as bytes";
    case RowFault::RecordLength:
      return "the record is not the record length";
    case RowFault::KeyNotBlob:
      return k + " is not stored as bytes";
    case RowFault::KeyLength:
      return k + " is not the key's length";
  }
  return "unknown fault";
}

}  // namespace engine
