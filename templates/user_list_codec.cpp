#include "templates/user_list_codec.h"

#include "platform/format.h"
#include "platform/text.h"
#include "templates/store_utils.h"
#include "templates/template_state.h"

namespace {

constexpr int MaxListNumber = 99999999;  // 8 digits
constexpr std::string_view ListExtension = ".lst";

void CheckName(std::string_view Name) {
  if (Name.size() > size_t(MaxListNameLength))
    throw EUserListError("The list name \"" + std::string(Name) + "\" is longer than " +
                         IntToStr(MaxListNameLength) + " characters.");
}

std::string NameField(std::string_view Name) {
  CheckName(Name);
  return Format("%-20s", std::string(Name));
}

std::string_view Range(std::string_view Record, const TUserListRange& R) {
  return Record.substr(size_t(R.Position - 1), size_t(R.Width));
}

}  // namespace

std::string FormatUserListText(int Number, std::string_view Name, TListNumberLayout Layout) {
  if (Number < 0 || Number > MaxListNumber) throw EUserListError("A list number must lie between 0 and 99999999.");
  const std::string number = IntToStr(Number);
  return Format(Layout == TListNumberLayout::Left ? "%-8s" : "%8s", number) + NameField(Name);
}

TUserListRecord ParseUserListRecord(std::string_view Record) {
  if (Record.size() < size_t(UserListRecordLength))
    throw EUserListError("A LISTS.USR record is shorter than " + IntToStr(UserListRecordLength) + " bytes.");
  TUserListRecord out;
  const std::string number = Trim(Range(Record, UserListNumber));
  int value = 0;
  if (!number.empty() && number.find_first_not_of("0123456789") == std::string::npos && TryStrToInt(number, value))
    out.Number = value;
  out.Name = TrimRight(Range(Record, UserListName));
  return out;
}

std::string RenamedUserListText(std::string_view Record, std::string_view Name) {
  if (Record.size() < size_t(UserListRecordLength))
    throw EUserListError("A LISTS.USR record is shorter than " + IntToStr(UserListRecordLength) + " bytes.");
  return std::string(Range(Record, UserListNumber)) + NameField(Name);
}

bool IsListHeader(std::string_view Line) {
  return Line.size() >= 3 && Line[0] == ListSep[0] && Line[2] == ListSep[0];
}

std::string ListHeaderLine(std::string_view Name) { return std::string(ListHeaderMarker) + NameField(Name); }

std::string ListHeaderName(std::string_view Line) {
  return TrimRight(Copy(Line, ListHeaderNameColumn, MaxListNameLength));
}

std::string RenamedListHeader(std::string_view Line, std::string_view Name) {
  return std::string(Line.substr(0, ListHeaderMarker.size())) + NameField(Name);
}

std::vector<std::string> SplitListLines(std::string_view Bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < Bytes.size()) {
    size_t end = Bytes.find('\n', start);
    const size_t next = end == std::string_view::npos ? Bytes.size() : end + 1;
    if (end == std::string_view::npos) end = Bytes.size();
    if (end > start && Bytes[end - 1] == '\r' && end < Bytes.size()) --end;
    lines.emplace_back(Bytes.substr(start, end - start));
    start = next;
  }
  return lines;
}

std::string JoinListLines(const std::vector<std::string>& Lines) {
  size_t size = 0;
  for (const std::string& line : Lines) size += line.size() + 2;
  std::string bytes;
  bytes.reserve(size);
  for (const std::string& line : Lines) bytes.append(line).append("\r\n");
  return bytes;
}

std::vector<std::string> ListItems(const std::vector<std::string>& Lines) {
  std::vector<std::string> items;
  for (const std::string& line : Lines)
    if (!IsBlank(line) && !IsListHeader(line)) items.push_back(line);
  return items;
}

std::vector<std::string> SavedListLines(const std::vector<std::string>& Items, std::string_view Name) {
  std::vector<std::string> lines = Items;
  bool marked = false;
  for (const std::string& item : Items) marked = marked || item.starts_with(ListHeaderMarker);
  if (!marked) lines.push_back(ListHeaderLine(Name));
  return lines;
}

TListItemColumns SplitListItem(std::string_view Item) {
  const size_t sep = Item.find(ListSep[0]);
  if (sep == std::string_view::npos) return {std::string(Item), "", false};
  return {std::string(Item.substr(0, sep)), std::string(Item.substr(sep + 1)), true};
}

std::string JoinListItem(std::string_view Col1, std::string_view Col2, bool Double) {
  return Double ? std::string(Col1) + ListSep + std::string(Col2) : std::string(Col1);
}

std::optional<int> ListFileNumber(std::string_view Target) {
  if (Target.size() <= ListExtension.size()) return std::nullopt;
  const std::string_view digits = Target.substr(0, Target.size() - ListExtension.size());
  if (!AnsiSameText(Target.substr(digits.size()), ListExtension)) return std::nullopt;
  if (digits.size() > 8 || digits.front() == '0' || digits.find_first_not_of("0123456789") != std::string_view::npos)
    return std::nullopt;
  return StrToInt(digits);
}

std::string ListFileName(int Number) { return IntToStr(Number) + std::string(ListExtension); }
