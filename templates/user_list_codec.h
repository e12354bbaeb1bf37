// The two stored forms of a user list, the only place that knows them.
//
// LISTS.USR, the catalogue of the lists of a data folder: one 32-byte
// record per list, page size 4096.
//   positions 1-4    auto-increment key 0, written as zero bytes
//   positions 5-12   list number, 8 characters         key 1 (duplicates)
//   positions 13-32  list name, "%-20s"
// A save from the lookup form writes the number "%-8s" ("7       "), an
// import "%8s" ("       7"); readers trim it. Those are two keys for one
// number, so key 1 cannot refuse a number twice and allows duplicates: the
// writers keep numbers apart by making the list's file first, exclusively.
//
// The list file "<n>.lst" beside it (n the list number in decimal): text,
// one line per item, each line ended by CR LF when written; read with CR LF
// or LF, a last line without an end counting too.
//   single-column item: the text
//   double-column item: column 1, ListSep (character 1), column 2
//   header line: ListSep, blank, ListSep, the list name "%-20s"
// Any line beginning with character 1 that has character 1 again in
// position 3 is a header: no item, it carries the name for imports. Blank
// lines are no items either.
#pragma once

#include "platform/errors.h"
#include "templates/key_segments.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

constexpr int UserListPrefixLength = 4;
constexpr int UserListRecordLength = 32;

struct TUserListRange {
  int Position;  // record position, prefix counted
  int Width;
};
constexpr TUserListRange UserListNumber{5, 8};
constexpr TUserListRange UserListName{13, 20};
// The widest name a list can carry, in the catalogue and in a header.
constexpr int MaxListNameLength = UserListName.Width;

constexpr std::array<TKeySegment, 2> UserListKeySegments{
    PrefixKeySegment,
    TKeySegment{1, 0, UserListNumber.Position, UserListNumber.Width, true, false, false}};

class EUserListError : public Exception {
public:
  using Exception::Exception;
};

// How a writer lays the number out in its 8 characters.
enum class TListNumberLayout { Left, Right };

struct TUserListRecord {
  int Number = -1;   // -1 when bytes 5-12 hold no number (a damaged record names no list)
  std::string Name;  // as stored, the padding behind it removed

  bool operator==(const TUserListRecord&) const = default;
};

// The 28 characters behind the prefix. A name over 20 bytes, or a number
// outside 0..99999999, raises EUserListError: it would move or cut a column.
std::string FormatUserListText(int Number, std::string_view Name, TListNumberLayout Layout);
// A record as read, prefix first, at least 32 bytes (else EUserListError).
TUserListRecord ParseUserListRecord(std::string_view Record);
// The text behind the prefix of a record as read, with a new name and the
// number kept exactly as it was stored.
std::string RenamedUserListText(std::string_view Record, std::string_view Name);

// The list file.
inline constexpr std::string_view ListHeaderMarker = "\x01 \x01";
constexpr int ListHeaderNameColumn = 4;

bool IsListHeader(std::string_view Line);
// ListHeaderMarker + "%-20s" name (a name over 20 bytes raises EUserListError).
std::string ListHeaderLine(std::string_view Name);
// The name a header carries: characters 4-23, right-trimmed.
std::string ListHeaderName(std::string_view Line);
// A header's first three characters kept and a new name behind them.
std::string RenamedListHeader(std::string_view Line, std::string_view Name);

// The lines of a file's bytes and the bytes of lines.
std::vector<std::string> SplitListLines(std::string_view Bytes);
std::string JoinListLines(const std::vector<std::string>& Lines);

// The items of a file's lines: every line that is neither blank nor a header.
std::vector<std::string> ListItems(const std::vector<std::string>& Lines);
// The lines a save writes: the items, then the header line with the name
// unless an item already begins with the header marker.
std::vector<std::string> SavedListLines(const std::vector<std::string>& Items, std::string_view Name);

// An item's columns: the text before the first ListSep and the rest.
struct TListItemColumns {
  std::string Col1;
  std::string Col2;
  bool Double = false;  // the item holds a ListSep

  bool operator==(const TListItemColumns&) const = default;
};
TListItemColumns SplitListItem(std::string_view Item);
// Column 1 alone, or column 1, ListSep, column 2.
std::string JoinListItem(std::string_view Col1, std::string_view Col2, bool Double);

// The only reading of a list's file name: decimal digits without a leading
// zero, then ".lst" in any case, nothing else (no folder, no blanks). The
// number, or nothing.
std::optional<int> ListFileNumber(std::string_view Target);
// "<n>.lst".
std::string ListFileName(int Number);
