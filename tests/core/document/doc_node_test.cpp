#include "core/document/doc_node.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(DocNodeTest, FindChildCreatesOnlyWhenAsked) {
  DocNode node("root");
  EXPECT_EQ(node.FindChild("options", false), nullptr);
  EXPECT_EQ(node.children().size(), 0u);
  DocNode* created = node.FindChild("options", true);
  ASSERT_NE(created, nullptr);
  EXPECT_EQ(created->name(), "options");
  EXPECT_EQ(node.FindChild("options", true), created);
  EXPECT_EQ(node.children().size(), 1u);
  EXPECT_EQ(node.AddChild("options"), nullptr);
  EXPECT_EQ(node.children().size(), 1u);
}

TEST(DocNodeTest, AddAttributeKeepsTheFirst) {
  DocNode node;
  DocAttribute* first = node.AddAttribute("a");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->type(), AttributeType::Plain);
  EXPECT_EQ(first->word(), 0u);
  first->SetInt(42);
  EXPECT_EQ(node.AddAttribute("a"), nullptr);
  EXPECT_EQ(node.GetInt("a", -1), 42);
}

TEST(DocNodeTest, SettersReplaceAndGettersNeverConvert) {
  DocNode node;
  node.SetInt("flag", 7);
  EXPECT_EQ(node.GetBool("flag", false), false);
  node.SetBool("flag", true);
  EXPECT_EQ(node.GetInt("flag", -5), -5);
  EXPECT_TRUE(node.GetBool("flag", false));
  EXPECT_EQ(node.FindAttribute("flag")->word(), 1u);
  EXPECT_EQ(node.attributes().size(), 1u);

  node.SetString("s", "narrow");
  EXPECT_EQ(node.GetWideString("s", u"dflt"), u"dflt");
  EXPECT_EQ(node.GetString("s", "x"), "narrow");
  node.SetWideString("w", u"wide");
  EXPECT_EQ(node.GetString("w", "x"), "x");
  EXPECT_EQ(node.GetWideString("w", u""), u"wide");
  EXPECT_EQ(node.GetWideString("missing", u"copy"), u"copy");
  EXPECT_EQ(node.StringRef("w"), nullptr);
  EXPECT_EQ(node.GetBinary("w"), nullptr);
}

TEST(DocNodeTest, ValuelessTypesAreFoundButYieldDefaults) {
  DocNode node;
  DocAttribute* odd = node.AddAttribute("odd");
  odd->SetValueless(200);
  ASSERT_NE(node.FindAttribute("odd"), nullptr);
  EXPECT_EQ(node.FindAttribute("odd")->type_code(), 200);
  EXPECT_EQ(node.GetInt("odd", 3), 3);
  EXPECT_EQ(node.GetBool("odd", true), true);
  EXPECT_EQ(node.GetString("odd", "d"), "d");
  EXPECT_EQ(node.GetWideString("odd", u"d"), u"d");
  EXPECT_EQ(node.GetBinary("odd"), nullptr);
}

TEST(DocNodeTest, BoolReadsTheLowByte) {
  DocNode node;
  node.AddAttribute("b")->SetWord(AttributeType::Bool, 0x100);
  EXPECT_FALSE(node.GetBool("b", true));
  node.SetAttribute([] {
    auto record = std::make_unique<DocAttribute>("b");
    record->SetWord(AttributeType::Bool, 0x1FE);
    return record;
  }());
  EXPECT_TRUE(node.GetBool("b", false));
}

TEST(DocNodeTest, LargeTablesKeepOrderAndLookups) {
  DocNode node;
  for (int i = 0; i < 1000; ++i) node.AddChild("c" + std::to_string(i));
  for (int i = 0; i < 1000; ++i) node.SetInt("a" + std::to_string(i), i);
  EXPECT_EQ(node.AddChild("c500"), nullptr);
  int expected = 0;
  for (const auto& child : node.children()) EXPECT_EQ(child->name(), "c" + std::to_string(expected++));
  EXPECT_EQ(node.GetInt("a999", -1), 999);
  node.SetBool("a3", true);  // replaced in place, order kept
  auto it = node.attributes().begin();
  std::advance(it, 3);
  EXPECT_EQ((*it)->name(), "a3");
  EXPECT_TRUE(node.GetBool("a3", false));
  EXPECT_EQ(node.GetInt("a3", -1), -1);
  node.Clear();
  EXPECT_TRUE(node.children().empty());
  EXPECT_EQ(node.FindChild("c1"), nullptr);
}

}  // namespace
}  // namespace vidora
