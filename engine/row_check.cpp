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

MetadataFault MetadataRows::Add(int nameType, const std::string& name, int valueType, const std::string& value) {
  if (nameType != StoredText) return MetadataFault::NameNotText;
  if (name == "format") {
    ++formats_;
    if (valueType != StoredText || value != FormatMarker) return MetadataFault::FormatNotMarker;
  } else if (name == "spec") {
    ++specs_;
    if (valueType != StoredBlob) return MetadataFault::SpecNotBlob;
    layout_ = value;
  }
  return MetadataFault::None;
}

MetadataFault MetadataRows::Complete() const {
  if (formats_ != 1) return MetadataFault::FormatCount;
  if (specs_ != 1) return MetadataFault::SpecCount;
  return MetadataFault::None;
}

std::string MetadataFaultText(MetadataFault fault) {
  switch (fault) {
    case MetadataFault::None:
      return "sound";
    case MetadataFault::NameNotText:
      return "the name is not text";
    case MetadataFault::FormatNotMarker:
      return "the format is not the marker of a record manager file";
    case MetadataFault::SpecNotBlob:
      return "the file specification is not stored as bytes";
    case MetadataFault::FormatCount:
      return "there is not exactly one format row";
    case MetadataFault::SpecCount:
      return "there is not exactly one specification row";
  }
  return "unknown fault";
}

}  // namespace engine
