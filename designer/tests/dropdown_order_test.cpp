// The dropdown list editor's rules: key marks, moves, deletes, the lock.
#include "designer/dropdown_order.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::string Pad = "     ";  // the five blanks behind each name

std::vector<std::string> Padded(std::vector<std::string> Names) {
  for (std::string& n : Names) n += Pad;
  return Names;
}

std::string Shown(const TDropdownOrder& Order) {
  std::string out;
  for (int k = 0; k < Order.Count(); ++k) {
    if (k) out += "|";
    out += Order.Names()[size_t(k)].substr(0, Order.Names()[size_t(k)].size() - Pad.size());
    if (Order.Keys()[size_t(k)]) out += "*";
  }
  return out + " @" + std::to_string(Order.Selected());
}

TEST(DropdownOrder, KeyMarksTheLeftmostAndTheCodeFieldBehindANameField) {
  EXPECT_EQ(Shown(TDropdownOrder(Padded({"Client code", "Client name"}), false)), "Client code*|Client name @0");
  EXPECT_EQ(Shown(TDropdownOrder(Padded({"Client name", "Client code"}), false)), "Client name*|Client code* @0");
  EXPECT_EQ(Shown(TDropdownOrder(Padded({"Case Alternate ID", "Department code", "Case suffix"}), false)),
            "Case Alternate ID*|Department code|Case suffix* @0");
  EXPECT_EQ(Shown(TDropdownOrder(Padded({"Employee name", "Client code"}), false)), "Employee name*|Client code @0");
}

TEST(DropdownOrder, MovesSwapNamesAndKeyMarksAndKeepTheMovedOneSelected) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    bool locked;
    int select;
    bool left;
    std::string message;
    std::string after;
  };
  const std::vector<std::string> codeFirst = {"Client code", "Client name", "City"};
  const std::vector<std::string> nameFirst = {"Client name", "Client code", "City"};
  const Case cases[] = {
      {"left of the leftmost", codeFirst, false, 0, true, "", "Client code*|Client name|City @0"},
      {"right of the last", codeFirst, false, 2, false, "", "Client code*|Client name|City @2"},
      {"left among the others", codeFirst, false, 2, true, "", "Client code*|City|Client name @1"},
      {"right among the others", codeFirst, false, 1, false, "", "Client code*|City|Client name @2"},
      {"a non-key into the leftmost", codeFirst, false, 1, true, NotIntoLeftmostMsg,
       "Client code*|Client name|City @1"},
      {"the key out over a non-key", codeFirst, false, 0, false, NotOutOfLeftmostMsg,
       "Client code*|Client name|City @0"},
      {"a key into the leftmost", nameFirst, false, 1, true, "", "Client code*|Client name*|City @0"},
      {"a key into the leftmost while locked", nameFirst, true, 1, true, DropdownLockedMsg,
       "Client name*|Client code*|City @1"},
      {"the leftmost out over a key", nameFirst, false, 0, false, "", "Client code*|Client name*|City @1"},
      {"the leftmost out while locked", nameFirst, true, 0, false, DropdownLockedMsg,
       "Client name*|Client code*|City @0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDropdownOrder order(Padded(c.names), c.locked);
    order.Select(c.select);
    EXPECT_EQ(c.left ? order.MoveLeft() : order.MoveRight(), c.message);
    EXPECT_EQ(Shown(order), c.after);
  }
}

TEST(DropdownOrder, DeleteRemovesAsksOrRefuses) {
  struct Case {
    const char* name;
    std::vector<std::string> names;
    bool locked;
    int select;
    TDropdownDelete outcome;
    std::string after;
  };
  const Case cases[] = {
      {"a later name", {"Case suffix", "Department code", "Case type 1 code"}, false, 1, TDropdownDelete::Removed,
       "Case suffix*|Case type 1 code @1"},
      {"the last name", {"Case suffix", "Department code"}, false, 1, TDropdownDelete::Removed, "Case suffix* @0"},
      {"the key before a non-key", {"Case suffix", "Department code"}, false, 0, TDropdownDelete::AskRemoveAll,
       "Case suffix*|Department code @0"},
      {"the key before another key", {"Case Alternate ID", "Case suffix"}, false, 0, TDropdownDelete::Removed,
       "Case suffix* @0"},
      {"the key while locked", {"Case suffix", "Department code"}, true, 0, TDropdownDelete::Refused,
       "Case suffix*|Department code @0"},
      {"a later name while locked", {"Case suffix", "Department code"}, true, 1, TDropdownDelete::Removed,
       "Case suffix* @0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TDropdownOrder order(Padded(c.names), c.locked);
    order.Select(c.select);
    EXPECT_EQ(order.Delete(), c.outcome);
    EXPECT_EQ(Shown(order), c.after);
  }
}

TEST(DropdownOrder, RemovingAllEmptiesTheList) {
  TDropdownOrder order(Padded({"Employee code", "Employee name"}), false);
  ASSERT_EQ(order.Delete(), TDropdownDelete::AskRemoveAll);
  order.RemoveAll();
  EXPECT_EQ(order.Count(), 0);
  // The only name left: deleting it asks too.
  TDropdownOrder one(Padded({"Employee code"}), false);
  EXPECT_EQ(one.Delete(), TDropdownDelete::AskRemoveAll);
}

}  // namespace
