#include "templates/deleted_fields.h"

#include "platform/errors.h"
#include "testing/expect_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(DeletedFlds, EntriesAsTheDesignerWritesThem) {
  EXPECT_EQ(FormatDeletedFld({5, 7, 1}), "5    7     1*");
  EXPECT_EQ(FormatDeletedFld({1234, 500, 50}), "1234 500  50*");
  EXPECT_EQ(FormatDeletedFld({9999, 999, 999}), "9999 999 999*");
}

TEST(DeletedFlds, ParseGivesEveryEntryBack) {
  const std::vector<TDeletedFld> fields{{5, 7, 1}, {1234, 500, 50}, {60, 12, 9}};
  std::string list;
  for (const TDeletedFld& f : fields) list += FormatDeletedFld(f);
  EXPECT_EQ(ParseDeletedFlds(list), fields);
  EXPECT_TRUE(ParseDeletedFlds("").empty());
  // Right-aligned numbers, as another writer might leave them, read the same.
  EXPECT_EQ(ParseDeletedFlds("   5   7   1*"), (std::vector<TDeletedFld>{{5, 7, 1}}));
}

TEST(DeletedFlds, RefusesWhatBreaksTheList) {
  ExpectMessage<EConvertError>([] { ParseDeletedFlds("5    7     1"); },
                               "DeletedFlds has 12 characters, which is not a whole number of 13-character entries.");
  ExpectMessage<EConvertError>([] { ParseDeletedFlds("5    7     1*5    x     2*"); },
                               "DeletedFlds entry 2: Width \"x  \" is not a number.");
  ExpectMessage<EConvertError>([] { ParseDeletedFlds("     7     1*"); },
                               "DeletedFlds entry 1: Offset \"    \" is not a number.");
  ExpectMessage<EConvertError>([] { ParseDeletedFlds("5    7    -1*"); },
                               "DeletedFlds entry 1: FldId \" -1\" is not a number.");
  ExpectMessage<EConvertError>([] { FormatDeletedFld({10000, 1, 1}); },
                               "A deleted field's Offset 10000 does not fit in 4 digits.");
  ExpectMessage<EConvertError>([] { FormatDeletedFld({5, 1000, 1}); },
                               "A deleted field's Width 1000 does not fit in 3 digits.");
  ExpectMessage<EConvertError>([] { FormatDeletedFld({5, 1, -1}); },
                               "A deleted field's FldId -1 does not fit in 3 digits.");
}

}  // namespace
