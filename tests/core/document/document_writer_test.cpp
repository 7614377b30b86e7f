// What a writer does when its target cannot take the document: the bytes
// themselves are held by the fixtures of document_bytes_golden_test.
#include "core/document/document_writer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "core/playlists/playlist_document.h"

namespace vidora {
namespace {

// A sink (no memory stream: that one is written in place) that takes
// `room` bytes, then refuses everything.
class FullStream : public ByteStream {
 public:
  explicit FullStream(uint32_t room) : room_(room) {}
  uint32_t Write(const void*, uint32_t count) override {
    const uint32_t taken = std::min(count, room_);
    room_ -= taken;
    return taken;
  }
  uint32_t Read(void*, uint32_t) override { return 0; }
  uint32_t Seek(int64_t, int) override { return 0; }
  uint32_t Size() override { return 0; }
  uint32_t Reserve(uint32_t) override { return 0; }
  uint32_t Position() override { return 0; }
  void Close() override {}

 private:
  uint32_t room_;
};

TEST(DocumentWriterTest, ARefusedPieceFailsTheWriteAndEndsIt) {
  DocNode root("r");
  root.SetString("big", std::string(3 * DocumentWriter::kPieceBytes, 'x'));
  int pieces = 0;
  DocumentWriter writer([&pieces](const uint8_t*, size_t) {
    ++pieces;
    return false;
  });
  writer.Node(root);
  EXPECT_FALSE(writer.Finish());
  EXPECT_EQ(pieces, 1);

  M3uPlaylist playlist;
  for (int i = 0; i < 20000; ++i) {
    PlaylistEntry entry;
    entry.name = "c" + std::to_string(i);
    entry.address = "http://s.example/" + std::to_string(i);
    playlist.entries.push_back(std::move(entry));
  }
  pieces = 0;
  EXPECT_FALSE(WritePlaylistDocument(playlist, PlaylistOrigin{"pl00000000", u"t", u"", 0}, [&pieces](std::string_view) {
    ++pieces;
    return false;
  }));
  EXPECT_EQ(pieces, 1);
}

TEST(DocumentWriterTest, AStreamThatTakesTooLittleFailsTheWrite) {
  DocNode root("r");
  root.SetInt("i", 1);
  FullStream full(10);
  EXPECT_FALSE(WriteDocument(root, full));
  FullStream roomy(1000);
  EXPECT_TRUE(WriteDocument(root, roomy));
}

TEST(DocumentWriterTest, ABlockTooSmallFailsWithoutWritingPastIt) {
  DocNode root("r");
  root.SetString("s", std::string(100, 's'));
  const uint64_t size = DocumentWriter::EncodedSize(root);
  std::vector<uint8_t> block(size + 1, 0xAA);
  DocumentWriter short_block(block.data(), size - 1);
  short_block.Node(root);
  EXPECT_FALSE(short_block.Finish());
  EXPECT_EQ(block[size - 1], 0xAA);

  DocumentWriter exact(block.data(), size);
  exact.Node(root);
  EXPECT_TRUE(exact.Finish());
  EXPECT_EQ(block[size], 0xAA);
}

}  // namespace
}  // namespace vidora
