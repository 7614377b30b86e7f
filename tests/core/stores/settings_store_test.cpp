#include "core/stores/settings_store.h"

#include <signal.h>
#include <sys/resource.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

using testing::TempDir;

std::vector<char> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::filesystem::path& path, const std::vector<char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A valid settings document whose "options" carry `volume`, padded by a
// filler attribute to exactly `size` bytes.
std::vector<char> SettingsFileOfSize(uint32_t size, int32_t volume) {
  for (uint32_t filler = 0;; ++filler) {
    DocNode root("set");
    DocNode* options = root.AddChild("options");
    options->SetInt("sound_volume", volume);
    options->SetString("zz_filler", std::string(filler, 'x'));
    MemoryStream stream;
    WriteDocument(root, stream);
    if (stream.size() == size) {
      return std::vector<char>(reinterpret_cast<const char*>(stream.Data()),
                               reinterpret_cast<const char*>(stream.Data()) + size);
    }
    if (stream.size() > size) ADD_FAILURE() << "cannot pad to " << size;
    if (stream.size() > size) return {};
  }
}

TEST(SettingsStoreTest, FilesShorterThanAThousandBytesAreIgnored) {
  TempDir dir;
  WriteAll(dir / "short.cfg", SettingsFileOfSize(999, 77));
  WriteAll(dir / "long.cfg", SettingsFileOfSize(1000, 77));
  SettingsStore short_store;
  short_store.Load(dir / "short.cfg");
  EXPECT_EQ(short_store.GetInt("sound_volume", 50), 50);
  SettingsStore long_store;
  long_store.Load(dir / "long.cfg");
  EXPECT_EQ(long_store.GetInt("sound_volume", 50), 77);
}

TEST(SettingsStoreTest, MissingKeysStoreTheirDefaultAndAreSaved) {
  TempDir dir;
  SettingsStore store;
  store.Load(dir / "Settings.cfg");  // no file yet
  EXPECT_EQ(store.GetInt("sound_volume", 50), 50);
  EXPECT_TRUE(store.GetBool("first_run", true));
  store.SetBool("first_run", false);
  EXPECT_EQ(store.GetString("Language", u"en"), u"en");
  EXPECT_FALSE(store.FindString("PublisherHost").has_value());
  ASSERT_TRUE(store.Save());

  DocNode saved;
  ASSERT_EQ(LoadDocumentFile(saved, dir / "Settings.cfg"), ReadStatus::kOk);
  EXPECT_EQ(saved.name(), "set");
  const DocNode* options = saved.FindChild("options");
  ASSERT_NE(options, nullptr);
  EXPECT_EQ(options->GetInt("sound_volume", 0), 50);
  ASSERT_NE(options->FindAttribute("first_run", AttributeType::Bool), nullptr);
  EXPECT_EQ(options->FindAttribute("first_run")->word(), 0u);
  EXPECT_EQ(options->FindAttribute("PublisherHost"), nullptr);
  EXPECT_NE(saved.FindChild("channels"), nullptr);
}

TEST(SettingsStoreTest, ASmallSaveIsPaddedSoTheNextStartReadsIt) {
  TempDir dir;
  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  store.SetBool("first_run", false);
  store.SetInt("sound_volume", 30);
  ASSERT_TRUE(store.Save());
  EXPECT_GE(ReadAll(dir / "Settings.cfg").size(), kMinSettingsFileSize);
  SettingsStore next_start;
  next_start.Load(dir / "Settings.cfg");
  EXPECT_FALSE(next_start.GetBool("first_run", true));
  EXPECT_EQ(next_start.GetInt("sound_volume", 50), 30);

  // A file that is long enough on its own gets no padding, and padding
  // read back is not carried into the settings.
  next_start.SetString("long_text", std::u16string(600, u'x'));
  ASSERT_TRUE(next_start.Save());
  DocNode saved;
  ASSERT_EQ(LoadDocumentFile(saved, dir / "Settings.cfg"), ReadStatus::kOk);
  EXPECT_EQ(saved.FindChild(kPaddingChildName), nullptr);
  EXPECT_EQ(saved.children().size(), 2u);
}

TEST(SettingsStoreTest, SaveOrderIsBoolsIntsTextsByKeyAndFirstTypeWins) {
  SettingsStore store;
  store.SetString("b_text", u"t");
  store.SetInt("z_int", 1);
  store.SetInt("a_int", 2);
  store.SetBool("y_bool", true);
  store.SetBool("shared", true);
  store.SetInt("shared", 5);
  DocNode root;
  store.BuildDocument(root);
  std::vector<std::string> names;
  for (const auto& attribute : root.FindChild("options")->attributes()) names.push_back(attribute->name());
  EXPECT_EQ(names, (std::vector<std::string>{"shared", "y_bool", "a_int", "z_int", "b_text"}));
  EXPECT_TRUE(root.FindChild("options")->GetBool("shared", false));
}

TEST(SettingsStoreTest, UnknownSettingsSurviveAndOtherTypesAreDropped) {
  TempDir dir;
  DocNode root("set");
  DocNode* options = root.AddChild("options");
  options->SetWideString("FutureKey", u"kept");
  options->AddAttribute("OldWord")->SetWord(AttributeType::Word3, 3);
  options->SetString("zz_filler", std::string(1000, 'x'));  // narrow: dropped too
  DocNode* channels = root.AddChild("channels");
  channels->AddChild("de_one")->SetBool("f", true);
  ASSERT_TRUE(SaveDocumentFile(root, dir / "Settings.cfg"));

  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  ASSERT_NE(store.ChannelsNode(), nullptr);
  EXPECT_NE(store.ChannelsNode()->FindChild("de_one"), nullptr);
  bool writer_called = false;
  store.set_channels_writer([&](const ChannelStateVisitor& out) {
    writer_called = true;
    out({"fr_two", std::nullopt, std::nullopt});
  });
  ASSERT_TRUE(store.Save());
  EXPECT_TRUE(writer_called);

  DocNode saved;
  ASSERT_EQ(LoadDocumentFile(saved, dir / "Settings.cfg"), ReadStatus::kOk);
  const DocNode* saved_options = saved.FindChild("options");
  EXPECT_EQ(saved_options->GetWideString("FutureKey"), u"kept");
  EXPECT_EQ(saved_options->FindAttribute("OldWord"), nullptr);
  EXPECT_EQ(saved_options->FindAttribute("zz_filler"), nullptr);
  EXPECT_NE(saved.FindChild("channels")->FindChild("fr_two"), nullptr);
}

// A save writes a node for every channel; the loaded settings keep only
// those with a favourite or a chosen source, with their values.
TEST(SettingsStoreTest, OnlyChannelsWithAStateAreHeldFromTheFile) {
  TempDir dir;
  DocNode root("set");
  root.AddChild("options")->SetString("zz_filler", std::string(1000, 'x'));
  DocNode* channels = root.AddChild("channels");
  channels->AddChild("de_fav")->SetBool("f", true);
  channels->AddChild("de_off")->SetBool("f", false);
  channels->AddChild("de_source")->SetInt("cu", 2);
  channels->AddChild("de_bare");
  ASSERT_TRUE(SaveDocumentFile(root, dir / "Settings.cfg"));

  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  ASSERT_NE(store.ChannelsNode(), nullptr);
  std::vector<std::string> held;
  for (const auto& child : store.ChannelsNode()->children()) held.push_back(child->name());
  EXPECT_EQ(held, (std::vector<std::string>{"de_fav", "de_off", "de_source"}));
  EXPECT_TRUE(store.ChannelsNode()->FindChild("de_fav")->GetBool("f", false));
  EXPECT_FALSE(store.ChannelsNode()->FindChild("de_off")->GetBool("f", true));
  EXPECT_EQ(store.ChannelsNode()->FindChild("de_source")->GetInt("cu", 0), 2);
}

// A big channels section is written straight from its entries: the file
// must be the one the document describes, byte for byte.
TEST(SettingsStoreTest, ASaveOfManyChannelsWritesTheDocumentItDescribes) {
  TempDir dir;
  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  store.SetBool("a_bool", true);
  store.SetString("a_text", u"Größe");
  std::vector<std::string> keys;
  for (int i = 0; i < 3000; ++i) keys.push_back("pl" + std::to_string(i % 7) + "_channel" + std::to_string(i));
  store.set_channels_writer([&](const ChannelStateVisitor& out) {
    for (size_t i = 0; i < keys.size(); ++i) {
      ChannelStateEntry entry{keys[i], std::nullopt, std::nullopt};
      if (i % 5 == 0) entry.favourite = i % 10 == 0;
      if (i % 7 == 0) entry.source = static_cast<int32_t>(i % 3) - 1;
      out(entry);
    }
  });
  ASSERT_TRUE(store.Save());
  DocNode root;
  store.BuildDocument(root);
  ASSERT_EQ(root.FindChild("channels")->children().size(), keys.size());
  ASSERT_TRUE(SaveDocumentFile(root, dir / "described.cfg"));
  EXPECT_TRUE(ReadAll(dir / "Settings.cfg") == ReadAll(dir / "described.cfg"));
}

// A big channels section is counted before it is written: a listing that
// changes in between fails the save rather than write a broken document.
TEST(SettingsStoreTest, AChannelListingThatChangesDuringASaveKeepsTheOldFile) {
  TempDir dir;
  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  store.SetBool("a_bool", true);
  ASSERT_TRUE(store.Save());
  const auto old_bytes = ReadAll(dir / "Settings.cfg");
  size_t listed = 150;
  store.set_channels_writer([&](const ChannelStateVisitor& out) {
    for (size_t i = 0; i < listed; ++i) out({"pl1_c" + std::to_string(i), true, std::nullopt});
    listed += 1;
  });
  EXPECT_FALSE(store.Save());
  EXPECT_EQ(ReadAll(dir / "Settings.cfg"), old_bytes);
}

TEST(SettingsStoreTest, AFailedSaveKeepsTheOldFile) {
  TempDir dir;
  const auto old_bytes = SettingsFileOfSize(1200, 33);
  WriteAll(dir / "Settings.cfg", old_bytes);
  SettingsStore store;
  store.Load(dir / "Settings.cfg");
  store.SetString("Big", std::u16string(20000, u'x'));

  // Root ignores folder permissions, so the failure is a file size limit:
  // writes past 4 KiB fail, as on a full disk.
  struct rlimit saved_limit {};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved_limit), 0);
  const auto saved_handler = signal(SIGXFSZ, SIG_IGN);
  struct rlimit small = saved_limit;
  small.rlim_cur = 4096;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const bool saved = store.Save();
  setrlimit(RLIMIT_FSIZE, &saved_limit);
  signal(SIGXFSZ, saved_handler);

  EXPECT_FALSE(saved);
  EXPECT_EQ(ReadAll(dir / "Settings.cfg"), old_bytes);
  size_t files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1u) << "the temporary file was left behind";

  // A folder that does not exist fails without creating anything.
  SettingsStore elsewhere;
  elsewhere.Load(dir / "missing" / "Settings.cfg");
  EXPECT_FALSE(elsewhere.Save());
}

TEST(SettingsStoreTest, DamagedFilesGiveDefaults) {
  TempDir dir;
  auto bytes = SettingsFileOfSize(1100, 12);
  bytes[0] = 'X';
  WriteAll(dir / "bad_magic.cfg", bytes);
  SettingsStore store;
  store.Load(dir / "bad_magic.cfg");
  EXPECT_EQ(store.GetInt("sound_volume", 50), 50);

  auto truncated = SettingsFileOfSize(1100, 12);
  truncated.resize(1050);
  WriteAll(dir / "truncated.cfg", truncated);
  SettingsStore other;
  other.Load(dir / "truncated.cfg");
  EXPECT_EQ(other.GetInt("sound_volume", 50), 50);
  EXPECT_EQ(other.ChannelsNode(), nullptr);
}

}  // namespace
}  // namespace vidora
