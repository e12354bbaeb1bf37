#include "entry/links_file.h"

#include "platform/files.h"
#include "platform/folder_file.h"
#include "platform/format.h"
#include "platform/text.h"
#include "templates/user_list_codec.h"

namespace {

// Three links of 37 characters; anything far beyond is no links file.
constexpr size_t MaxLinksFileSize = 64 << 10;
constexpr int NumberColumn = 3, NumberWidth = 3;
constexpr int NameColumn = 8, NameWidth = 30;

}  // namespace

std::string FormatLinkLine(const TLinkLine& Line) {
  return Format("%-2s%-4s %-30s", Line.Kind, Line.Number.ZeroFilled(), Line.Name);
}

std::optional<TLinkLine> ParseLinkLine(std::string_view Line) {
  if (Line.size() <= 1 || LinkKindIndex(Line[0]) < 0) return std::nullopt;
  TLinkLine link;
  link.Kind = Line[0];
  if (!TTemplateNumber::TryParse(Copy(Line, NumberColumn, NumberWidth), link.Number)) return std::nullopt;
  link.Name = Trim(Copy(Line, NameColumn, NameWidth));
  return link;
}

std::string LinksFileName(const TTemplateNumber& Number) { return "Links." + Number.ZeroFilled(); }

std::vector<TLinkLine> ReadLinksFile(const std::string& FileName) {
  std::vector<TLinkLine> links;
  std::string bytes;
  if (!ReadFolderFile(ResolvePath(FileName), MaxLinksFileSize, bytes)) return links;
  for (const std::string& line : SplitListLines(bytes))
    if (const auto link = ParseLinkLine(line)) links.push_back(*link);
  return links;
}

bool WriteLinksFile(const std::string& FileName, const std::vector<TLinkLine>& Lines) {
  std::vector<std::string> text;
  for (const TLinkLine& line : Lines) text.push_back(FormatLinkLine(line));
  return ReplaceFileBytes(FileName, JoinListLines(text));
}

TRememberedLinks& RememberedLinks() {
  static TRememberedLinks links;
  return links;
}

int LinkKindIndex(char Kind) {
  const size_t at = LinkKinds.find(Kind);
  return at == std::string_view::npos ? -1 : int(at);
}

std::vector<TLinkLine> LinksToWrite(const TRememberedLinks& Links, const std::string& ScreenName) {
  std::vector<TLinkLine> lines;
  const std::string screen = Trim(ScreenName);
  for (int k = 0; k < LinkKindCount; ++k) {
    const TRememberedLink& link = Links[size_t(k)];
    if (link.OpenerName.empty() || Trim(link.OpenerName) != screen) continue;
    lines.push_back({LinkKinds[size_t(k)], link.Number, link.Name});
  }
  return lines;
}
