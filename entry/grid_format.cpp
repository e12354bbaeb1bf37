#include "entry/grid_format.h"

#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/text.h"

namespace {

// A layout of a few thousand columns at most; anything longer is no format.
constexpr size_t MaxGridFormatSize = 64 * 1024;

}  // namespace

std::string EncodeGridFormat(const TGridFormat& Format) {
  std::string out = IntToStr(Format.DefaultRowHeight) + "\r\n" + IntToStr(Format.HeaderHeight) + "\r\n";
  for (int w : Format.Widths) out += IntToStr(w) + "\r\n";
  return out;
}

TGridFormatRead DecodeGridFormat(std::string_view Bytes) {
  TGridFormatRead read;
  size_t at = 0;
  while (at < Bytes.size()) {
    size_t end = Bytes.find('\n', at);
    if (end == std::string_view::npos) end = Bytes.size();
    std::string_view line = Bytes.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    at = end + 1;
    int value = 0;
    if (!TryStrToInt(Trim(line), value)) break;
    if (read.Lines == 0) {
      read.Format.DefaultRowHeight = value;
    } else if (read.Lines == 1) {
      read.Format.HeaderHeight = value;
    } else {
      read.Format.Widths.push_back(value);
    }
    ++read.Lines;
  }
  return read;
}

bool ReadGridFormatFile(const std::string& FileName, TGridFormatRead& Read) {
  std::string bytes;
  if (!ReadFolderFile(ResolvePath(FileName), MaxGridFormatSize, bytes)) return false;
  Read = DecodeGridFormat(bytes);
  return true;
}

bool WriteGridFormatFile(const std::string& FileName, const TGridFormat& Format) {
  return ReplaceFileBytes(FileName, EncodeGridFormat(Format));
}
