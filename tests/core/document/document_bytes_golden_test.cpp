// The bytes the document format's writers produce, compared with stored
// fixtures (tests/data/document_bytes): files already on users' disks and
// files read by earlier releases depend on them, so any change here is a
// change of the file format. Small documents are kept as hex text, large
// ones as their size and FNV-1a hash. A mismatch leaves the bytes written
// in the temporary folder for inspection.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"
#include "core/playlists/playlist_document.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

const std::filesystem::path kFixtures = std::filesystem::path(VIDORA_SOURCE_DIR) / "tests/data/document_bytes";

std::string ToHex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<unsigned char>(bytes[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
    out += (i % 32 == 31 || i + 1 == bytes.size()) ? '\n' : ' ';
  }
  return out;
}

std::string Fingerprint(const std::string& bytes) {
  uint64_t hash = 0xcbf29ce484222325ull;
  for (char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 0x100000001b3ull;
  }
  char text[64];
  std::snprintf(text, sizeof text, "%zu %016llx\n", bytes.size(), static_cast<unsigned long long>(hash));
  return text;
}

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Compares `bytes` (as hex, or as their fingerprint when `large`) with the
// fixture `name`.
void ExpectFixture(const std::string& name, const std::string& bytes, bool large = false) {
  const std::string actual = large ? Fingerprint(bytes) : ToHex(bytes);
  const std::string expected = ReadText(kFixtures / name);
  if (actual == expected) return;
  const std::filesystem::path left = std::filesystem::temp_directory_path() / ("vidora_written_" + name);
  std::ofstream(left, std::ios::binary) << actual;
  ADD_FAILURE() << name << " differs from what was written; the bytes written are in " << left;
}

std::string AsText(const MemoryStream& stream) {
  return std::string(reinterpret_cast<const char*>(stream.Data()), stream.size());
}

// Every way a tree reaches the format: into memory, in pieces to a file,
// and through SaveDocumentFile. All must give the same bytes.
void ExpectTreeWrites(const DocNode& root, const std::string& fixture, bool large = false) {
  MemoryStream memory;
  ASSERT_TRUE(WriteDocument(root, memory));
  ExpectFixture(fixture, AsText(memory), large);

  testing::TempDir dir;
  FileStream file;
  ASSERT_TRUE(file.Open(dir / "pieces.qdoc", FileStream::Mode::kWrite));
  ASSERT_TRUE(WriteDocument(root, file));
  file.Close();
  EXPECT_EQ(ReadText(dir / "pieces.qdoc"), AsText(memory));

  ASSERT_TRUE(SaveDocumentFile(root, dir / "saved.qdoc"));
  EXPECT_EQ(ReadText(dir / "saved.qdoc"), AsText(memory));
}

void FillEveryKind(DocNode& root) {
  root.SetInt("int", -123456);
  root.SetBool("bool", true);
  root.SetString("string", "plain text");
  root.SetString("empty", "");
  root.SetString("long string", std::string(300, 's'));
  root.SetWideString("wide", u"Fern\u00E9h \u0416 \u65E5");
  root.SetWideString("long wide", std::u16string(260, u'\u00FC'));
  const uint8_t blob[] = {0, 1, 2, 0xFE, 0xFF};
  root.SetBinary("binary", MemoryStream(blob, sizeof blob));
  root.SetBinary("no bytes", MemoryStream());
  root.AddAttribute("plain")->SetWord(AttributeType::Plain, 7);
  root.AddAttribute("word3")->SetWord(AttributeType::Word3, 0x01020304);
  root.AddAttribute("word4")->SetWord(AttributeType::Word4, 0xFFFFFFFF);
  root.AddAttribute("value64")->SetValue64(Value64Bytes{1, 2, 3, 4, 5, 6, 7, 8});
  root.AddAttribute("valueless")->SetValueless(200);
  DocNode* child = root.AddChild("child");
  child->SetString("u", "http://example/");
  child->AddChild("grandchild")->AddChild("")->SetInt("deep", 1);
  root.AddChild(std::string(256, 'n'));
}

TEST(DocumentBytesTest, TreesOfEveryKindKeepTheirBytes) {
  DocNode root("root");
  FillEveryKind(root);
  ExpectTreeWrites(root, "every_kind.hex");
}

TEST(DocumentBytesTest, LargeTreesKeepTheirBytesAcrossPieces) {
  // Longer than the writers' pieces, with 32-bit length prefixes.
  DocNode root(std::string(70000, 'r'));
  FillEveryKind(root);
  root.SetString("huge", std::string(70000, 'h'));
  root.SetWideString("huge wide", std::u16string(70000, u'w'));
  std::string block(3 << 20, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + (i >> 11));
  root.SetBinary("block", MemoryStream(block.data(), static_cast<uint32_t>(block.size())));
  for (int i = 0; i < 2000; ++i) root.AddChild("c" + std::to_string(i))->SetInt("i", i);
  ExpectTreeWrites(root, "large_tree.sum", true);
}

M3uPlaylist EveryFieldPlaylist() {
  M3uPlaylist playlist;
  playlist.guide_address = "http://epg.example/guide.xml";
  playlist.skipped_lines = 3;
  playlist.catchup.catchup = "default";
  playlist.catchup.days = "7";
  PlaylistEntry full;
  full.name = "Первый канал";
  full.address = "http://s.example/1.m3u8";
  full.tvg_id = "first.ru";
  full.tvg_name = "Perviy";
  full.tvg_logo = "http://logos.example/1.png";
  full.channel_number = "101";
  full.group = "Новости";
  full.user_agent = "Agent/1";
  full.referrer = "http://ref.example/";
  full.cookie = "a=b";
  auto catchup = std::make_shared<CatchupAttributes>();
  catchup->catchup = "shift";
  catchup->source = "?utc={utc}";
  full.catchup = catchup;
  full.properties = {"inputstream.adaptive.manifest_type=hls", "a=b"};
  full.provider = "prov";
  PlaylistEntry further = full;
  further.address = "http://backup.example/1.m3u8";
  further.user_agent = "Other/2";
  further.continues_previous = true;
  PlaylistEntry radio;
  radio.name = "Jazz";
  radio.address = "http://radio.example/jazz.mp3";
  radio.group = "Radio";
  radio.radio = true;
  PlaylistEntry same_id_other_name = full;
  same_id_other_name.name = "Another";
  same_id_other_name.continues_previous = false;
  same_id_other_name.catchup = nullptr;
  PlaylistEntry plain;
  plain.name = "Plain";
  plain.address = "udp://@239.0.0.1:1234";
  playlist.entries = {full, further, radio, same_id_other_name, plain, radio};
  return playlist;
}

std::string Written(const M3uPlaylist& playlist, const PlaylistOrigin& origin, size_t* pieces = nullptr) {
  std::string out;
  size_t count = 0;
  EXPECT_TRUE(WritePlaylistDocument(playlist, origin, [&](std::string_view piece) {
    out.append(piece);
    ++count;
    return true;
  }));
  if (pieces != nullptr) *pieces = count;
  return out;
}

// The playlist's own writer, its pieces, and the tree read back and
// written again, all give the stored bytes.
void ExpectPlaylistWrites(const M3uPlaylist& playlist, const PlaylistOrigin& origin, const std::string& fixture,
                          bool large) {
  std::string encoded;
  EncodePlaylistDocument(playlist, origin, encoded);
  ExpectFixture(fixture, encoded, large);
  size_t pieces = 0;
  EXPECT_EQ(Written(playlist, origin, &pieces), encoded);
  if (large) {
    EXPECT_GT(pieces, 1u);
  }

  DocNode tree;
  BuildPlaylistDocument(playlist, origin, tree);
  MemoryStream again;
  ASSERT_TRUE(WriteDocument(tree, again));
  EXPECT_EQ(AsText(again), encoded);
}

TEST(DocumentBytesTest, PlaylistDocumentsKeepTheirBytes) {
  const PlaylistOrigin origin{"pl0badf00d", u"Liste \u00E9t\u00E9", u"/home/u/lists/tv.m3u", 1700000000};
  ExpectPlaylistWrites(EveryFieldPlaylist(), origin, "playlist.hex", false);

  M3uPlaylist large;
  for (int i = 0; i < 20000; ++i) {
    PlaylistEntry entry;
    entry.name = "Channel " + std::to_string(i);
    entry.address = "http://streams.example/live/" + std::to_string(i) + "/index.m3u8";
    entry.tvg_id = i % 3 == 0 ? "id" + std::to_string(i) : std::string();
    entry.group = i % 5 == 0 ? "Sport" : "News";
    large.entries.push_back(std::move(entry));
  }
  ExpectPlaylistWrites(large, origin, "large_playlist.sum", true);
}

}  // namespace
}  // namespace vidora
