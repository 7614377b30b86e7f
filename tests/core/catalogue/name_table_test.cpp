// The flat name table behind the duplicate check of a country's channels
// and the lookup of a playlist channel's additions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/catalogue/name_table.h"

namespace vidora {
namespace {

TEST(NameTableTest, FindsEveryAddedNameAcrossGrowthAndNothingElse) {
  std::vector<std::string> names;
  NameTable table;
  auto name_of = [&names](uint32_t index) { return std::string_view(names[index]); };
  EXPECT_EQ(table.Find("a", name_of), NameTable::kNone);  // empty, never grown
  for (int i = 0; i < 5000; ++i) {
    // Names that share long beginnings, and the empty name.
    names.push_back(i == 0 ? std::string() : "ichannel" + std::to_string(i) + ".example");
    ASSERT_EQ(table.Find(names.back(), name_of), NameTable::kNone) << names.back();
    table.Insert(names.back(), static_cast<uint32_t>(names.size() - 1));
  }
  EXPECT_EQ(table.size(), names.size());
  for (uint32_t i = 0; i < names.size(); ++i) EXPECT_EQ(table.Find(names[i], name_of), i) << names[i];
  EXPECT_EQ(table.Find("ichannel5000.example", name_of), NameTable::kNone);
  EXPECT_EQ(table.Find("ichannel1.exampl", name_of), NameTable::kNone);

  table.Clear();
  EXPECT_EQ(table.size(), 0u);
  EXPECT_EQ(table.Find(names[7], name_of), NameTable::kNone);
}

TEST(NameTableTest, ReservedTableHoldsItsNamesWithoutLosingAny) {
  std::vector<std::string> names;
  NameTable table;
  table.Reserve(100);
  auto name_of = [&names](uint32_t index) { return std::string_view(names[index]); };
  for (int i = 0; i < 300; ++i) {  // beyond what was reserved
    names.push_back(std::string(static_cast<size_t>(i % 7), 'x') + std::to_string(i));
    table.Insert(names.back(), static_cast<uint32_t>(i));
  }
  table.Reserve(10);  // never shrinks
  for (uint32_t i = 0; i < names.size(); ++i) EXPECT_EQ(table.Find(names[i], name_of), i);
}

}  // namespace
}  // namespace vidora
