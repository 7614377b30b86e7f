// Data files that are damaged or are no regular files at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/catalogue/catalogue_reader.h"
#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/stores/language_pack.h"
#include "core/stores/settings_store.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

TEST(NonRegularFileTest, AFifoAFolderOrADeviceReadsAsMissingWithoutWaiting) {
  testing::TempDir dir;
  ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
  fs::create_directory(dir / "folder");
  const auto start = std::chrono::steady_clock::now();
  for (const fs::path& path : {dir / "fifo", dir / "folder", fs::path("/dev/zero"), fs::path("/dev/null")}) {
    FileStream file;
    EXPECT_FALSE(file.Open(path, FileStream::Mode::kRead)) << path;
    DocNode node;
    EXPECT_NE(LoadDocumentFile(node, path), ReadStatus::kOk) << path;
    EXPECT_FALSE(ReadCatalogueDocument(path, node)) << path;
    SettingsStore settings;
    settings.Load(path);
    EXPECT_FALSE(settings.damaged()) << path;
    EXPECT_TRUE(settings.GetBool("first_run", true));
    LanguagePack pack;
    EXPECT_FALSE(pack.Load(path));
    EXPECT_FALSE(pack.damaged()) << path;
  }
  EXPECT_TRUE(fs::is_fifo(dir / "fifo"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

TEST(DamagedSettingsTest, ADamagedFileIsKeptAsideOnceAndTheSettingsStartOver) {
  testing::TempDir dir;
  const fs::path path = dir / "Settings.cfg";
  for (const std::string& damage : {std::string(1200, 'x'), std::string("QDOC\x03set", 8) + std::string(1200, '\xff'),
                                    std::string("QDOC\x02no", 7), std::string()}) {
    std::ofstream(path, std::ios::binary) << damage;
    SettingsStore settings;
    settings.Load(path);
    EXPECT_TRUE(settings.damaged()) << damage.size();
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(ReadAll(dir / "Settings.cfg.damaged"), damage);
    EXPECT_TRUE(settings.GetBool("first_run", true));
    // Told once: the next start finds no file.
    SettingsStore next;
    next.Load(path);
    EXPECT_FALSE(next.damaged());
  }
}

TEST(DamagedSettingsTest, ASoundFileAndAShortCompleteOneAreNotDamaged) {
  testing::TempDir dir;
  const fs::path path = dir / "Settings.cfg";
  SettingsStore first;
  first.Load(path);
  first.SetBool("first_run", false);
  ASSERT_TRUE(first.Save());
  SettingsStore again;
  again.Load(path);
  EXPECT_FALSE(again.damaged());
  EXPECT_FALSE(again.GetBool("first_run", true));
  DocNode small("set");
  small.AddChild("options");
  ASSERT_TRUE(SaveDocumentFile(small, path));
  SettingsStore ignored;
  ignored.Load(path);
  EXPECT_FALSE(ignored.damaged());
  EXPECT_TRUE(fs::exists(path));
}

TEST(DamagedLanguagePackTest, ADamagedPackFallsBackToBuiltInEnglish) {
  testing::TempDir dir;
  const fs::path path = dir / "Languages.lngp";
  DocNode wrong_root("something_else");
  DocNode no_language(kLanguagePackRootName);
  for (const DocNode* document : {&wrong_root, &no_language}) {
    ASSERT_TRUE(SaveDocumentFile(*document, path));
    LanguagePack pack;
    SettingsStore settings;
    EXPECT_FALSE(LoadLanguagePack(pack, path, settings));
    EXPECT_TRUE(pack.damaged());
    EXPECT_EQ(pack.GetText("menu_exit"), u"Exit");
    EXPECT_EQ(pack.GetText("app_mvdra"), u"Vidora");
    EXPECT_FALSE(pack.GetText("msg_lang_damaged").empty());
    EXPECT_EQ(pack.Count(), 1);
  }
  std::ofstream(path, std::ios::binary) << "QDOC\x0clang_doc_1.0\x05";
  LanguagePack cut;
  SettingsStore settings;
  LoadLanguagePack(cut, path, settings);
  EXPECT_TRUE(cut.damaged());
  EXPECT_EQ(cut.GetText("menu_exit"), u"Exit");
  // A missing pack is no damage: texts stay empty as before.
  LanguagePack missing;
  EXPECT_FALSE(LoadLanguagePack(missing, dir / "none.lngp", settings));
  EXPECT_FALSE(missing.damaged());
  EXPECT_EQ(missing.GetText("menu_exit"), u"");
}

}  // namespace
}  // namespace vidora
