// dscdump: prints every record of a template descriptor, one line per
// named range of the descriptor layout, in key-1 order.
//
//   dscdump FILE
//   dscdump --help | -h
//
// Each record starts with a line "record <n>: field" or "record <n>: index"
// (n = its auto-increment number), then one line per range: its label, its
// text columns, its record positions and the stored bytes in quotes.
// Stored text is Windows-1252 and shown as UTF-8; control bytes, the five
// bytes Windows-1252 leaves unassigned and the backslash are written as
// "\xNN". A field record the codec cannot read gets a last line saying why.
// Exit status 0, 1 when the file cannot be read, 2 for a wrong command line
// (usage on stderr). --help prints the usage on stdout.
#include "btrieve/numbered_files.h"
#include "btrieve/stat_layout.h"
#include "platform/codepage.h"
#include "platform/errors.h"
#include "platform/format.h"
#include "templates/descriptor_codec.h"

#include <cstdio>
#include <span>
#include <string>
#include <string_view>

namespace {

const char* const Usage =
    "usage: dscdump FILE\n"
    "Prints every record of the template descriptor FILE in key-1 order, one line per named range.";

constexpr uint8_t DumpFileNo = 1;
constexpr int8_t RecordOrderKey = 1;

void PrintLine(FILE* to, const std::string& line) {
  std::fwrite(line.data(), 1, line.size(), to);
  std::fputc('\n', to);
}

bool ShownEscaped(unsigned char c) {
  return c < 0x20 || c == 0x7F || c == '\\' || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D;
}

std::string Shown(std::string_view bytes) {
  std::string out;
  for (const char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    out += ShownEscaped(b) ? Format("\\x%.2X", static_cast<int>(b)) : Win1252ToUtf8(std::string(1, c));
  }
  return out;
}

// Message texts use CR between lines.
std::string Lines(std::string text) {
  for (char& c : text) {
    if (c == '\r') c = '\n';
  }
  return text;
}

void DumpRecord(const TDynCharArr& rec) {
  const std::string_view record(reinterpret_cast<const char*>(rec.data()), rec.size());
  const bool index = IsIndexRecord(record);
  PrintLine(stdout, Format("record %u: %s", GetLE32(rec.data()), index ? "index" : "field"));
  const std::span<const TDscRange> ranges =
      index ? std::span<const TDscRange>(DscIndex::All) : std::span<const TDscRange>(DscField::All);
  for (const TDscRange& range : ranges) {
    PrintLine(stdout, Format("  %-17s cols %3d-%-3d  pos %3d-%-3d  \"%s\"", range.Label, range.Column,
                             range.LastColumn(), range.Position(), range.LastPosition(),
                             Shown(RecordRange(record, range))));
  }
  try {
    if (index) {
      ParseIndexRecord(record);
    } else {
      ParseFieldRecord(record);
    }
  } catch (const Exception& e) {
    PrintLine(stdout, "  not readable: " + Lines(e.Message));
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view arg = argc == 2 ? argv[1] : "";
  if (arg == "--help" || arg == "-h") {
    PrintLine(stdout, Usage);
    return 0;
  }
  // A name that starts with "-" is an option this tool does not have.
  if (argc != 2 || arg.empty() || arg[0] == '-') {
    if (argc == 2 && !arg.empty()) PrintLine(stderr, "dscdump: unknown option " + std::string(arg));
    PrintLine(stderr, Usage);
    return 2;
  }
  int result = 0;
  try {
    BtrOpenFile(DumpFileNo, argv[1], 0);
    if (BtrRecordLength(DumpFileNo) != DscRecordLength) {
      throw Exception(Format("%s has records of %d bytes; a descriptor's have %d.", argv[1],
                             static_cast<int>(BtrRecordLength(DumpFileNo)), DscRecordLength));
    }
    BtrSetKeyNumber(DumpFileNo, RecordOrderKey);
    TDynCharArr rec(DscRecordLength);
    bool atEnd = false;
    for (BtrGetFirst(DumpFileNo, rec, atEnd, false); !atEnd; BtrGetNext(DumpFileNo, rec, atEnd, false)) {
      DumpRecord(rec);
    }
  } catch (const Exception& e) {
    PrintLine(stderr, Lines(e.Message));
    result = 1;
  }
  FinalizeBtrLayer();
  return result;
}
