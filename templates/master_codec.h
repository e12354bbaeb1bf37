// The master file master.dsc: one 37-byte record per template, page size
// 4096. Always file number 1 of the numbered-file layer.
//   positions 1-4    auto-increment key 0, written as zero bytes
//   positions 5-34   template name, "%-30s"          key 1 (modifiable, unique)
//   positions 35-37  template number, "%3s" ("  7")  key 2 (unique)
// The text written behind the prefix, and kept as a template-list entry, is
// positions 5-37: the name in characters 1-30, the number in 31-33.
//
// A name over 30 bytes would lengthen the record and move the number, so
// formatting refuses it (EMasterRecordError) and nothing is written.
#pragma once

#include "platform/errors.h"
#include "templates/key_segments.h"
#include "templates/template_number.h"

#include <array>
#include <string>
#include <string_view>

constexpr int MasterPrefixLength = 4;
constexpr int MasterRecordLength = 37;
constexpr int MasterTextLength = MasterRecordLength - MasterPrefixLength;
constexpr int MasterPageSize = 4096;

struct TMasterRange {
  int Position;  // record position, prefix counted
  int Width;
  constexpr int TextStart() const { return Position - MasterPrefixLength; }  // 1-based in the text
};

constexpr TMasterRange MasterName{5, 30};
constexpr TMasterRange MasterNumber{35, 3};

constexpr std::array<TKeySegment, 3> MasterKeySegments{
    PrefixKeySegment,
    TKeySegment{1, 0, MasterName.Position, MasterName.Width, false, true, false},
    TKeySegment{2, 0, MasterNumber.Position, MasterNumber.Width, false, false, false}};

class EMasterRecordError : public Exception {
public:
  using Exception::Exception;
};

struct TMasterRecord {
  std::string Name;  // right-trimmed
  TTemplateNumber Number;

  bool operator==(const TMasterRecord&) const = default;
};

// "%-30s%3s" of Name and the stored form of Number.
std::string FormatMasterText(std::string_view Name, const TTemplateNumber& Number);
// Key 1 for a name: "%-30s".
std::string MasterNameKey(std::string_view Name);
// Key 2 for a number: "%3s".
std::string MasterNumberKey(const TTemplateNumber& Number);

// The text behind the prefix of a record as read (at least 37 bytes).
std::string MasterText(std::string_view Record);
// Name and number of a master text (33 characters); a number that is no
// template number raises EConvertError.
TMasterRecord ParseMasterText(std::string_view Text);
