// What the reader reports about bad input, where it leaves the stream, and
// the first-one-wins rule on tables large enough for a name index.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

std::vector<uint8_t> Encode(const DocNode& node) {
  MemoryStream stream;
  EXPECT_TRUE(WriteDocument(node, stream));
  return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.size());
}

ReadStatus StatusOf(const std::vector<uint8_t>& bytes) {
  DocNode node("stale");
  MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  const ReadStatus status = ReadDocument(node, stream);
  if (status != ReadStatus::kOk) {
    EXPECT_EQ(node.name(), "");
    EXPECT_TRUE(node.children().empty());
  }
  return status;
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

TEST(DocumentReadStatusTest, EachFailureIsNamed) {
  DocNode root("r");
  root.AddChild("c")->SetString("s", "text");
  const std::vector<uint8_t> good = Encode(root);
  EXPECT_EQ(StatusOf(good), ReadStatus::kOk);

  std::vector<uint8_t> bad_magic = good;
  bad_magic[0] = 'X';
  EXPECT_EQ(StatusOf(bad_magic), ReadStatus::kBadMagic);

  for (size_t cut = 0; cut < good.size(); ++cut) {
    const std::vector<uint8_t> truncated(good.begin(), good.begin() + static_cast<long>(cut));
    const ReadStatus status = StatusOf(truncated);
    EXPECT_TRUE(status == ReadStatus::kTruncated || status == ReadStatus::kTooLarge) << cut;
  }

  // "QDOC", 0x01 "r", attribute count at byte 6.
  std::vector<uint8_t> huge_count = good;
  PutU32(huge_count, 6, 0x7FFFFFFF);
  EXPECT_EQ(StatusOf(huge_count), ReadStatus::kTooLarge);

  DocNode deep("d");
  DocNode* at = &deep;
  for (int i = 0; i <= kMaxDocumentDepth; ++i) at = at->AddChild("n");
  EXPECT_EQ(StatusOf(Encode(deep)), ReadStatus::kTooDeep);

  testing::TempDir dir;
  DocNode untouched("keep");
  EXPECT_EQ(LoadDocumentFile(untouched, dir.path() / "missing.qdoc"), ReadStatus::kNotOpened);
  EXPECT_EQ(untouched.name(), "keep");
}

TEST(DocumentReadStatusTest, StreamsAreLeftRightAfterTheDocument) {
  DocNode first("first");
  first.SetInt("i", 7);
  DocNode second("second");
  second.AddChild("c");
  MemoryStream memory;
  WriteDocument(first, memory);
  WriteDocument(second, memory);
  memory.Seek(0, kSeekBegin);
  DocNode read;
  ASSERT_EQ(ReadDocument(read, memory), ReadStatus::kOk);
  EXPECT_EQ(read.GetInt("i", 0), 7);
  ASSERT_EQ(ReadDocument(read, memory), ReadStatus::kOk);
  EXPECT_EQ(read.name(), "second");
  EXPECT_EQ(memory.Position(), memory.Size());

  // The same through a file, which the reader takes in one read.
  testing::TempDir dir;
  FileStream out;
  ASSERT_TRUE(out.Open(dir.path() / "two.qdoc", FileStream::Mode::kWrite));
  WriteDocument(first, out);
  WriteDocument(second, out);
  out.Close();
  FileStream in;
  ASSERT_TRUE(in.Open(dir.path() / "two.qdoc", FileStream::Mode::kRead));
  ASSERT_EQ(ReadDocument(read, in), ReadStatus::kOk);
  EXPECT_EQ(read.name(), "first");
  ASSERT_EQ(ReadDocument(read, in), ReadStatus::kOk);
  EXPECT_EQ(read.name(), "second");
}

TEST(DocumentReadStatusTest, LargeTablesKeepTheFirstOfEachNameInOrder) {
  // Twelve children, the fourth repeated at the end with other content,
  // written by hand since a tree cannot hold the repetition.
  DocNode root("r");
  for (int i = 0; i < 12; ++i) root.AddChild("c" + std::to_string(i))->SetInt("v", i);
  std::vector<uint8_t> bytes = Encode(root);
  DocNode repeat("c3");
  repeat.SetInt("v", 99);
  const std::vector<uint8_t> extra = Encode(repeat);
  bytes.insert(bytes.end(), extra.begin(), extra.end());
  // Child count: after "QDOC", 0x01 "r" and an attribute count of 0.
  PutU32(bytes, 10, 13);

  DocNode read;
  MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  ASSERT_EQ(ReadDocument(read, stream), ReadStatus::kOk);
  ASSERT_EQ(read.children().size(), 12u);
  EXPECT_EQ(read.FindChild("c3")->GetInt("v", -1), 3);
  int expected = 0;
  for (const auto& child : read.children()) EXPECT_EQ(child->name(), "c" + std::to_string(expected++));
  // The index built after the parse serves lookups and later inserts.
  EXPECT_NE(read.FindChild("c11"), nullptr);
  EXPECT_EQ(read.AddChild("c5"), nullptr);
  EXPECT_NE(read.AddChild("c12"), nullptr);
}

}  // namespace
}  // namespace vidora
