// A whole file read into memory: every byte of a file several large pages
// long, pages given back reading as zeros until the file is read again,
// and documents loaded from such files exactly as from memory.
#include "core/document/file_bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/memory_stream.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

// Not a whole number of pages, large or small.
constexpr uint32_t kFileSize = (5u << 20) + 4099;

std::vector<uint8_t> Pattern(uint32_t size) {
  std::vector<uint8_t> bytes(size);
  uint32_t state = 2463534242u;
  for (uint8_t& byte : bytes) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    byte = static_cast<uint8_t>(state | 1);  // never zero, so given-back pages show
  }
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                              static_cast<std::streamsize>(bytes.size()));
}

TEST(FileBytesTest, ReadsEveryByteGivesPagesBackAndRereads) {
  testing::TempDir dir;
  const std::vector<uint8_t> expected = Pattern(kFileSize);
  WriteFile(dir / "data", expected);
  FileBytes bytes;
  ASSERT_TRUE(bytes.Read(dir / "data"));
  ASSERT_EQ(bytes.size(), kFileSize);
  EXPECT_EQ(std::vector<uint8_t>(bytes.data(), bytes.data() + bytes.size()), expected);

  const uint32_t offset = (3u << 20) + 777;
  bytes.Release(offset);
  ASSERT_TRUE(bytes.released());
  uint32_t zeros = 0;
  while (zeros < offset && bytes.data()[zeros] == 0) ++zeros;
  EXPECT_EQ(zeros, 3u << 20);  // the whole pages before the offset
  EXPECT_TRUE(std::equal(bytes.data() + offset, bytes.data() + kFileSize, expected.begin() + offset));

  ASSERT_TRUE(bytes.Reread());
  EXPECT_FALSE(bytes.released());
  EXPECT_EQ(std::vector<uint8_t>(bytes.data(), bytes.data() + bytes.size()), expected);
}

TEST(FileBytesTest, AnEmptyFileOpensWithNoBytesAndAMissingOneDoesNotOpen) {
  testing::TempDir dir;
  WriteFile(dir / "empty", {});
  FileBytes empty;
  EXPECT_TRUE(empty.Read(dir / "empty"));
  EXPECT_EQ(empty.size(), 0u);
  FileBytes missing;
  EXPECT_FALSE(missing.Read(dir / "missing"));
}

TEST(FileBytesTest, ALargeDocumentLoadsFromItsFileAsFromMemory) {
  DocNode root("large");
  const std::vector<uint8_t> blob = Pattern(3u << 20);
  root.SetBinary("blob", MemoryStream(blob.data(), static_cast<uint32_t>(blob.size())));
  for (int c = 0; c < 200; ++c) {
    DocNode* child = root.AddChild("child_" + std::to_string(c));
    for (int a = 0; a < 100; ++a) {
      child->SetInt("int_" + std::to_string(a), a * c);
      child->SetString("text_" + std::to_string(a), std::string(40, static_cast<char>('a' + a % 26)));
    }
  }
  MemoryStream encoded;
  ASSERT_TRUE(WriteDocument(root, encoded));
  const std::vector<uint8_t> expected(encoded.Data(), encoded.Data() + encoded.size());
  testing::TempDir dir;
  WriteFile(dir / "large.qdoc", expected);

  DocNode loaded;
  ASSERT_TRUE(LoadDocumentFile(loaded, dir / "large.qdoc"));
  MemoryStream again;
  ASSERT_TRUE(WriteDocument(loaded, again));
  EXPECT_EQ(std::vector<uint8_t>(again.Data(), again.Data() + again.size()), expected);
}

}  // namespace
}  // namespace vidora
