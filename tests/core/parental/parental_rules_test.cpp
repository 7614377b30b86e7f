#include "core/parental/parental_rules.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(ParentalRulesTest, ALockedCategoryOrGroupLocksItsChannelsAndNoOthers) {
  ParentalRules rules = ParentalRules::LockingCategory("ad");
  rules.Set(GroupLockKey(u"Kids"), true);
  EXPECT_TRUE(rules.Locks("ad", u""));
  EXPECT_TRUE(rules.Locks("ad", u"Movies"));
  EXPECT_TRUE(rules.Locks("e", u"Kids"));
  EXPECT_FALSE(rules.Locks("e", u"Kids HD"));
  EXPECT_FALSE(rules.Locks("n", u""));
  EXPECT_FALSE(rules.Locks("", u""));
  // A group named like a category key is still a group.
  EXPECT_FALSE(rules.Locks("", u"ad"));
  rules.Set(CategoryLockKey("ad"), false);
  EXPECT_FALSE(rules.Locks("ad", u"Movies"));
}

TEST(ParentalRulesTest, TheLocksComeBackFromTheirSettingText) {
  ParentalRules rules = ParentalRules::LockingCategory("ad");
  rules.Set(GroupLockKey(u"Дети: мультфильмы"), true);
  rules.Set(CategoryLockKey("sp"), true);
  const ParentalRules again = ParentalRules::Decode(rules.Encode());
  EXPECT_EQ(again.keys(), rules.keys());
  EXPECT_TRUE(again.Locks("sp", u""));
  EXPECT_TRUE(again.Locks("n", u"Дети: мультфильмы"));
  // Unlocking everything is stored as a choice of its own; empty
  // entries are skipped.
  EXPECT_FALSE(ParentalRules().Encode().empty());
  EXPECT_TRUE(ParentalRules::Decode(ParentalRules().Encode()).keys().empty());
  EXPECT_EQ(ParentalRules::Decode(u"\u001ec:k\u001e\u001e").keys().size(), 1u);
}

}  // namespace
}  // namespace vidora
