#include "templates/master_codec.h"

#include "platform/format.h"
#include "platform/text.h"

namespace {

std::string_view TextRange(std::string_view Text, const TMasterRange& Range) {
  return Text.substr(static_cast<size_t>(Range.TextStart() - 1), static_cast<size_t>(Range.Width));
}

}  // namespace

std::string MasterNameKey(std::string_view Name) {
  if (Name.size() > static_cast<size_t>(MasterName.Width)) {
    throw EMasterRecordError(
        Format("The template name \"%s\" is longer than %d characters.", Name, MasterName.Width));
  }
  return Format("%-*s", MasterName.Width, Name);
}

std::string MasterNumberKey(const TTemplateNumber& Number) { return Number.Stored(); }

std::string FormatMasterText(std::string_view Name, const TTemplateNumber& Number) {
  return MasterNameKey(Name) + MasterNumberKey(Number);
}

std::string MasterText(std::string_view Record) {
  if (Record.size() < static_cast<size_t>(MasterRecordLength)) {
    throw EMasterRecordError(Format("A master record has %d bytes instead of %d.", static_cast<int>(Record.size()),
                                    MasterRecordLength));
  }
  return std::string(Record.substr(MasterPrefixLength, MasterTextLength));
}

TMasterRecord ParseMasterText(std::string_view Text) {
  if (Text.size() != static_cast<size_t>(MasterTextLength)) {
    throw EMasterRecordError(
        Format("A master text has %d characters instead of %d.", static_cast<int>(Text.size()), MasterTextLength));
  }
  return {TrimRight(TextRange(Text, MasterName)), TTemplateNumber::Parse(TextRange(Text, MasterNumber))};
}
