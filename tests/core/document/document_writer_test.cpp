// What a writer does when its target cannot take the document: the bytes
// themselves are held by the fixtures of document_bytes_golden_test.
#include "core/document/document_writer.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/document/doc_node.h"
#include "core/playlists/playlist_document.h"

namespace vidora {
namespace {

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
