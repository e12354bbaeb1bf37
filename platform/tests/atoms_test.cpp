#include "platform/atoms.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(AtomsTest, KeepsEveryByteOfTextsOfOneTo255Bytes) {
  const std::vector<std::string> texts = {"A", std::string("a\0b", 3), "\xE9t\xE9\r\n", std::string(255, 'x')};
  for (const std::string& text : texts) {
    const ATOM atom = GlobalAddAtom(text);
    ASSERT_GE(atom, 0xC000) << text.size();
    EXPECT_EQ(GlobalGetAtomName(atom), text);
    EXPECT_EQ(GlobalDeleteAtom(atom), 0);
    EXPECT_EQ(GlobalGetAtomName(atom), "");
  }
}

TEST(AtomsTest, RefusesEmptyAndOverlongTexts) {
  EXPECT_EQ(GlobalAddAtom(""), 0);
  EXPECT_EQ(GlobalAddAtom(std::string(256, 'x')), 0);
}

TEST(AtomsTest, SameTextSharesAnAtomUntilItsLastReferenceGoes) {
  const ATOM first = GlobalAddAtom("Billing");
  const ATOM second = GlobalAddAtom("Billing");
  EXPECT_EQ(first, second);
  EXPECT_EQ(GlobalDeleteAtom(first), 0);
  EXPECT_EQ(GlobalGetAtomName(first), "Billing");
  EXPECT_EQ(GlobalDeleteAtom(first), 0);
  EXPECT_EQ(GlobalGetAtomName(first), "");
  EXPECT_EQ(GlobalDeleteAtom(first), first);  // no longer exists
}

TEST(AtomsTest, TextsDifferingInCaseAreDifferentAtoms) {
  const ATOM upper = GlobalAddAtom("BILLING");
  const ATOM lower = GlobalAddAtom("billing");
  EXPECT_NE(upper, lower);
  EXPECT_EQ(GlobalGetAtomName(lower), "billing");
  GlobalDeleteAtom(upper);
  GlobalDeleteAtom(lower);
}

TEST(AtomsTest, UnknownAtomsReadEmptyAndCannotBeDeleted) {
  EXPECT_EQ(GlobalGetAtomName(0), "");
  EXPECT_EQ(GlobalGetAtomName(0xBFFF), "");
  EXPECT_EQ(GlobalDeleteAtom(0xFFFE), 0xFFFE);
}
