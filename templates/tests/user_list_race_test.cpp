// Two workstations saving new user lists at the same moment.
#include "templates/tests/user_list_fixture.h"
#include "testing/piped_process.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

namespace {

using UserListRaceTest = UserListTest;

std::vector<int> Numbers(const std::string& answer) {
  std::istringstream in(answer);
  std::string word;
  in >> word;
  EXPECT_EQ(word, "saved") << answer;
  std::vector<int> numbers;
  for (int n; in >> n;) numbers.push_back(n);
  return numbers;
}

TEST_F(UserListRaceTest, TwoWorkstationsSavingNewListsAtOnceGetTheirOwnNumbersAndFiles) {
  constexpr int Count = 25;
  MakeCatalogue({{4, "Existing"}});
  WriteList(4, "kept\r\n" + ListHeaderLine("Existing") + "\r\n");
  PipedProcess east(LIST_PEER_PATH, {Store.DataDir});
  PipedProcess west(LIST_PEER_PATH, {Store.DataDir});
  east.Send("save East " + std::to_string(Count));
  west.Send("save West " + std::to_string(Count));
  const std::vector<int> eastNumbers = Numbers(east.Receive());
  const std::vector<int> westNumbers = Numbers(west.Receive());
  ASSERT_EQ(eastNumbers.size(), size_t(Count));
  ASSERT_EQ(westNumbers.size(), size_t(Count));
  EXPECT_EQ(east.Ask("exit"), "bye");
  EXPECT_EQ(west.Ask("exit"), "bye");

  std::set<int> all(eastNumbers.begin(), eastNumbers.end());
  all.insert(westNumbers.begin(), westNumbers.end());
  EXPECT_EQ(all.size(), size_t(2 * Count));
  EXPECT_GT(*all.begin(), 4);
  for (const auto& [prefix, numbers] : {std::pair{"East", eastNumbers}, std::pair{"West", westNumbers}}) {
    for (int i = 1; i <= Count; ++i) {
      const std::string name = prefix + std::to_string(i);
      EXPECT_EQ(ListBytes(numbers[size_t(i - 1)]),
                name + " item a\r\n" + name + " item b\r\n" + ListHeaderLine(name) + "\r\n");
    }
  }
  EXPECT_EQ(ListBytes(4), "kept\r\n" + ListHeaderLine("Existing") + "\r\n");
  // One record per list, each naming its own file.
  const std::vector<std::string> texts = CatalogueTexts();
  ASSERT_EQ(texts.size(), size_t(1 + 2 * Count));
  std::set<int> catalogued;
  for (const std::string& text : texts) {
    const TUserListRecord record = ParseUserListRecord(std::string(4, '\0') + text);
    catalogued.insert(record.Number);
    EXPECT_EQ(ListHeaderName(SplitListLines(ListBytes(record.Number)).back()), record.Name);
  }
  EXPECT_EQ(catalogued.size(), texts.size());
}

}  // namespace
