#include "core/catalogue/loader_warnings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/document_format.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

// A catalogue of `broken` channels without category and address, and one
// sound channel.
void FillCatalogue(DocNode& root, int broken) {
  root.set_name("5");
  DocNode* country = root.AddChild("de");
  for (int i = 0; i < broken; ++i) country->AddChild("b" + std::to_string(i))->SetWideString("n", u"B");
  DocNode* good = country->AddChild("good");
  good->SetString("c", "n");
  good->AddChild("0")->SetWideString("u", u"http://127.0.0.1/x");
}

bool SaveCatalogue(int broken, const std::filesystem::path& path) {
  DocNode root;
  FillCatalogue(root, broken);
  return SaveDocumentFile(root, path);
}

bool WarnsWith(int broken) {
  DocNode root;
  FillCatalogue(root, broken);
  return CatalogueHasLoaderWarnings(root);
}

TEST(LoaderWarningsTest, ALocalFileShowsThreeWarningsThenOneSummary) {
  std::vector<std::u16string> messages;
  SetMessageSink([&messages](const std::u16string& text, const std::u16string&) { messages.push_back(text); });
  testing::TempDir dir;
  ASSERT_TRUE(SaveCatalogue(2000, dir / "Channels.vdch"));
  ChannelCatalogue catalogue;
  ASSERT_TRUE(catalogue.Load(dir / "Channels.vdch", nullptr));
  ASSERT_EQ(messages.size(), 4u);
  // 2,000 channels, each without category and address: 4,000 warnings.
  EXPECT_NE(messages[3].find(u"3997"), std::u16string::npos);
  EXPECT_EQ(catalogue.AllChannels().size(), 2001u);
  // A reload counts afresh; a sound catalogue says nothing.
  messages.clear();
  ASSERT_TRUE(SaveCatalogue(1, dir / "Channels.vdch"));
  catalogue.ReloadCatalogue();
  EXPECT_EQ(messages.size(), 2u);
  messages.clear();
  ASSERT_TRUE(SaveCatalogue(0, dir / "Channels.vdch"));
  catalogue.ReloadCatalogue();
  EXPECT_TRUE(messages.empty());
  SetMessageSink({});
}

TEST(LoaderWarningsTest, WhatTheLoaderWouldWarnAboutIsFoundWithoutLoading) {
  EXPECT_FALSE(WarnsWith(0));
  EXPECT_TRUE(WarnsWith(1));
  DocNode wrong_category;
  FillCatalogue(wrong_category, 0);
  wrong_category.FindChild("de")->FindChild("good")->SetString("c", "zz");
  EXPECT_TRUE(CatalogueHasLoaderWarnings(wrong_category));
  DocNode empty("1");
  empty.AddChild("xx");
  EXPECT_FALSE(CatalogueHasLoaderWarnings(empty));
}

}  // namespace
}  // namespace vidora
