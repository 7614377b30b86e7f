// A file read whole into a large block: what it holds when the file
// changes after the read, the block's pages given back and taken again,
// empty and missing files, and documents loaded from such files exactly as
// from memory.
#include "core/document/file_bytes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/large_block.h"
#include "core/document/memory_stream.h"
#include "support/temp_dir.h"

namespace vidora::testing {
namespace {

std::vector<uint8_t> Pattern(size_t size) {
  std::vector<uint8_t> bytes(size);
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<uint8_t>(i * 31 + i / 4096);
  return bytes;
}

void WriteFile(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(LargeBlockTest, BlocksAreAlignedZeroedAndTheirTailsCanBeGivenBackAndReused) {
  EXPECT_EQ(MapLargeBlock(0), nullptr);
  const size_t size = 3 * kHugePageBytes + 100;  // not a whole number of pages
  std::byte* block = MapLargeBlock(size);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(reinterpret_cast<uintptr_t>(block) % kHugePageBytes, 0u);
  for (size_t i = 0; i < size; i += 997) ASSERT_EQ(block[i], std::byte{0});
  std::memset(block, 0x5A, size);
  // From an odd address: the page it starts in keeps its bytes.
  ReleaseBlockTail(block + kHugePageBytes + 10, block + size);
  EXPECT_EQ(block[kHugePageBytes + 9], std::byte{0x5A});
  EXPECT_EQ(block[kHugePageBytes + 4095], std::byte{0x5A});
  EXPECT_EQ(block[kHugePageBytes + 4096], std::byte{0});
  EXPECT_EQ(block[size - 1], std::byte{0});
  EXPECT_EQ(block[kHugePageBytes - 1], std::byte{0x5A});
  block[size - 1] = std::byte{7};  // still usable
  EXPECT_EQ(block[size - 1], std::byte{7});
  ReleaseBlockTail(nullptr, nullptr);
  ReleaseBlockTail(block + size, block + size);  // nothing to give back
  UnmapLargeBlock(block, size);
  UnmapLargeBlock(nullptr, 0);
}

TEST(FileBytesTest, TheBlockKeepsTheBytesReadWhenTheFileIsTruncatedOrRewritten) {
  TempDir dir;
  const std::filesystem::path path = dir / "data.bin";
  const std::vector<uint8_t> original = Pattern(5 * 1024 * 1024 + 123);
  WriteFile(path, original);
  FileBytes bytes;
  ASSERT_TRUE(bytes.Read(path));
  ASSERT_EQ(bytes.size(), original.size());
  // A block of our own, not a view of the file: shortening the file under
  // it (an update writing a new catalogue) cannot take its pages away.
  std::filesystem::resize_file(path, 10);
  EXPECT_EQ(std::memcmp(bytes.data(), original.data(), original.size()), 0);
  // Rereading the open file gets what it holds now and says it is short.
  EXPECT_FALSE(bytes.Reread());
  EXPECT_EQ(bytes.size(), 10u);
  EXPECT_EQ(std::memcmp(bytes.data(), original.data(), 10), 0);
}

TEST(FileBytesTest, ReleasedPagesReadAsZerosUntilRereadAndFreeEmptiesTheObject) {
  TempDir dir;
  const std::filesystem::path path = dir / "data.bin";
  const std::vector<uint8_t> original = Pattern(6 * 1024 * 1024 + 5);
  WriteFile(path, original);
  FileBytes bytes;
  ASSERT_TRUE(bytes.Read(path));
  EXPECT_FALSE(bytes.released());
  bytes.Release(1000);  // less than a step: kept
  EXPECT_FALSE(bytes.released());
  EXPECT_EQ(bytes.data()[999], original[999]);
  const uint32_t offset = 3 * 1024 * 1024 + 4096 + 17;  // inside a huge page
  bytes.Release(offset);
  ASSERT_TRUE(bytes.released());
  EXPECT_EQ(bytes.data()[0], 0);
  EXPECT_EQ(bytes.data()[offset - 18], 0);
  // The page `offset` lies in was not passed wholly: it stays.
  EXPECT_EQ(std::memcmp(bytes.data() + offset - 17, original.data() + offset - 17, original.size() - offset + 17), 0);
  EXPECT_TRUE(bytes.Reread());
  EXPECT_FALSE(bytes.released());
  EXPECT_EQ(std::memcmp(bytes.data(), original.data(), original.size()), 0);

  bytes.Free();
  EXPECT_EQ(bytes.data(), nullptr);
  EXPECT_EQ(bytes.size(), 0u);
  EXPECT_FALSE(bytes.Reread());  // the file was closed
  bytes.Free();                  // twice is harmless
  ASSERT_TRUE(bytes.Read(path));  // and the object can read again
  EXPECT_EQ(bytes.size(), original.size());
}

TEST(FileBytesTest, AnEmptyFileOpensWithNoBytesAndAMissingOneDoesNotOpen) {
  TempDir dir;
  WriteFile(dir / "empty", {});
  FileBytes empty;
  EXPECT_TRUE(empty.Read(dir / "empty"));
  EXPECT_EQ(empty.size(), 0u);
  FileBytes missing;
  EXPECT_FALSE(missing.Read(dir / "missing"));
}

TEST(FileBytesTest, ReadingAgainGivesBackTheFirstFileAndHoldsOnlyTheSecond) {
  TempDir dir;
  const std::vector<uint8_t> first = Pattern(3 * kHugePageBytes);
  const std::vector<uint8_t> second = Pattern(5000);
  WriteFile(dir / "first", first);
  WriteFile(dir / "second", second);
  FileBytes bytes;
  ASSERT_TRUE(bytes.Read(dir / "first"));
  ASSERT_TRUE(bytes.Read(dir / "second"));
  ASSERT_EQ(bytes.size(), second.size());
  EXPECT_EQ(std::memcmp(bytes.data(), second.data(), second.size()), 0);
  // Reread goes to the file read last.
  EXPECT_TRUE(bytes.Reread());
  EXPECT_EQ(bytes.size(), second.size());
  // A file that cannot be opened leaves nothing of the one before.
  EXPECT_FALSE(bytes.Read(dir / "missing"));
  EXPECT_EQ(bytes.size(), 0u);
  EXPECT_EQ(bytes.data(), nullptr);
  EXPECT_FALSE(bytes.Reread());
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
  TempDir dir;
  WriteFile(dir / "large.qdoc", expected);

  DocNode loaded;
  ASSERT_EQ(LoadDocumentFile(loaded, dir / "large.qdoc"), ReadStatus::kOk);
  MemoryStream again;
  ASSERT_TRUE(WriteDocument(loaded, again));
  EXPECT_EQ(std::vector<uint8_t>(again.Data(), again.Data() + again.size()), expected);
}

}  // namespace
}  // namespace vidora::testing
