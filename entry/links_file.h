// The linked-template list file "Links.<nnn>" (<nnn> the zero-filled number
// of the template whose entry screen wrote it), in the process's current
// folder: the templates opened from that screen as links, reopened the next
// time it shows. Text, one line per link, lines ended by CR LF when written,
// read with CR LF or LF:
//   columns 1-2   kind letter "C" (client list), "M" (case), "E" (employee), a blank
//   columns 3-6   template number, zero-filled ("007"), a blank
//   column  7     a blank
//   columns 8-37  template name, "%-30s" (a longer name is written whole)
// Lines go in the order C, M, E. A reader skips lines of one character or
// less, lines of another kind and lines whose number does not parse; the
// name it takes is columns 8-37 trimmed.
//
// The remembered links the writer takes its lines from live for the
// process: one per kind, overwritten by each link of that kind opened.
#pragma once

#include "templates/template_number.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The kinds in file order; a kind's index is its place here.
inline constexpr std::string_view LinkKinds = "CME";
constexpr int LinkKindCount = 3;

struct TLinkLine {
  char Kind = 'C';
  TTemplateNumber Number;
  std::string Name;

  bool operator==(const TLinkLine&) const = default;
};

// "%-2s%-4s %-30s" of kind, zero-filled number and name.
std::string FormatLinkLine(const TLinkLine& Line);
// Nothing for a line of one character or less, a kind not in LinkKinds or
// columns 3-5 that are no template number.
std::optional<TLinkLine> ParseLinkLine(std::string_view Line);

// "Links.<nnn>".
std::string LinksFileName(const TTemplateNumber& Number);
// The parsed lines of the file in file order; none when it is missing or
// cannot be read.
std::vector<TLinkLine> ReadLinksFile(const std::string& FileName);
// Replaces the file by Lines in one step. REQUIRES: Lines not empty (an
// empty list leaves the file alone, which the caller decides). False when
// it could not be written; the old file then stays as it was.
bool WriteLinksFile(const std::string& FileName, const std::vector<TLinkLine>& Lines);

// A link remembered for its kind: the screen that opened it and what it
// opened. Empty OpenerName: none of this kind yet.
struct TRememberedLink {
  std::string OpenerName;
  TTemplateNumber Number;
  std::string Name;
};
using TRememberedLinks = std::array<TRememberedLink, LinkKindCount>;

// The process's remembered links.
TRememberedLinks& RememberedLinks();
// The index of Kind in LinkKinds; -1 for another letter.
int LinkKindIndex(char Kind);
// The lines the screen of template ScreenName writes: the remembered links
// whose opener name equals it (both trimmed), in kind order.
std::vector<TLinkLine> LinksToWrite(const TRememberedLinks& Links, const std::string& ScreenName);
