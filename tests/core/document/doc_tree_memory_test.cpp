// How trees own their memory: the root's arena, moves of whole trees and
// of subtrees, the name indexes the reader builds, and the writer's
// staging into memory and into files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/document/doc_arena.h"
#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"
#include "support/temp_dir.h"

namespace vidora {
namespace {

const std::string kLongText(100, 't');  // never fits a string's own buffer

std::vector<uint8_t> Encode(const DocNode& node) {
  MemoryStream stream;
  EXPECT_TRUE(WriteDocument(node, stream));
  return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.size());
}

// A small tree with every kind of value, long texts included.
void Fill(DocNode& root) {
  root.set_name("root");
  root.SetString("s", kLongText);
  DocNode* a = root.AddChild("a");
  a->SetWideString("w", std::u16string(50, u'w'));
  a->SetBinary("b", MemoryStream(kLongText.data(), 64));
  a->AddChild("deep")->SetInt("i", 7);
  root.AddChild("b")->SetBool("f", true);
}

TEST(DocArenaTest, HandsOutAlignedMemoryAndGivesEverythingBack) {
  DocArena arena;
  EXPECT_EQ(arena.bytes_held(), 0u);
  for (size_t size : {1u, 3u, 8u, 24u, 1000u, 700000u}) {
    void* at = arena.Allocate(size, 1);
    ASSERT_NE(at, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(at) % alignof(std::max_align_t), 0u) << size;
    std::memset(at, 0xAB, size);  // all of it is usable (ASan checks)
  }
  DocNode* node = arena.NewNode("n");
  node->SetString("long", kLongText);  // allocates from the same arena
  for (int i = 0; i < 5000; ++i) arena.NewAttribute("a" + std::to_string(i))->SetString(kLongText);
  EXPECT_GT(arena.bytes_held(), 700000u);
  EXPECT_EQ(node->GetString("long"), kLongText);
  arena.Reset();  // destroys the attributes' texts too (the leak check sees it)
  EXPECT_EQ(arena.bytes_held(), 0u);
  EXPECT_NE(arena.Allocate(16, 1), nullptr);  // usable again after a reset
}

TEST(DocTreeMemoryTest, MovingARootKeepsItsNodesWhereTheyAre) {
  DocNode root;
  Fill(root);
  const std::vector<uint8_t> before = Encode(root);
  const DocNode* deep = root.FindChild("a")->FindChild("deep");

  DocNode moved(std::move(root));
  EXPECT_EQ(moved.FindChild("a")->FindChild("deep"), deep);  // not copied
  EXPECT_EQ(Encode(moved), before);
  EXPECT_TRUE(root.name().empty());
  EXPECT_TRUE(root.children().empty());
  EXPECT_TRUE(root.attributes().empty());

  // The emptied source is a usable root again.
  root.AddChild("again")->SetString("t", kLongText);
  EXPECT_EQ(root.FindChild("again")->GetString("t"), kLongText);

  DocNode assigned("old");
  assigned.AddChild("gone");
  assigned = std::move(moved);
  EXPECT_EQ(assigned.FindChild("gone"), nullptr);
  EXPECT_EQ(assigned.FindChild("a")->FindChild("deep"), deep);
  EXPECT_EQ(Encode(assigned), before);
}

TEST(DocTreeMemoryTest, MovingASubtreeCopiesItOutOfItsTree) {
  DocNode copy;
  std::vector<uint8_t> expected;
  {
    DocNode root;
    Fill(root);
    DocNode* a = root.FindChild("a");
    DocNode subtree("a");
    subtree.FindChild("x", true);  // replaced by the move
    expected = Encode(*a);
    subtree = std::move(*a);
    EXPECT_TRUE(a->children().empty());  // the source is emptied in place
    EXPECT_TRUE(a->name().empty());
    EXPECT_EQ(Encode(subtree), expected);
    copy = std::move(subtree);
  }  // the tree the subtree came from is gone
  EXPECT_EQ(Encode(copy), expected);
  EXPECT_EQ(copy.FindChild("deep")->GetInt("i", 0), 7);
}

TEST(DocTreeMemoryTest, ARootCanBeReplacedByOneOfItsOwnChildren) {
  DocNode root;
  Fill(root);
  const std::vector<uint8_t> expected = Encode(*root.FindChild("a"));
  root = std::move(*root.FindChild("a"));
  EXPECT_EQ(root.name(), "a");
  EXPECT_EQ(Encode(root), expected);
}

TEST(DocTreeMemoryTest, ATreeGivenToAnotherTreeLivesAsLongAsThatTree) {
  DocNode target("target");
  {
    DocNode source;
    Fill(source);
    source.set_name("slot");  // a child keeps the name its parent knows it by
    *target.AddChild("slot") = std::move(source);  // a root into a child
    auto built = std::make_unique<DocNode>("built");
    Fill(*built);
    built->set_name("built");
    target.InsertChild(std::move(built));
  }
  DocNode* slot = target.FindChild("slot");
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->GetString("s"), kLongText);
  EXPECT_EQ(target.FindChild("built")->FindChild("a")->FindChild("deep")->GetInt("i", 0), 7);
  // Both taken-over trees keep growing.
  slot->FindChild("a")->AddChild("new")->SetString("t", kLongText);
  EXPECT_EQ(slot->FindChild("a")->FindChild("new")->GetString("t"), kLongText);

  MemoryStream stream;
  ASSERT_TRUE(WriteDocument(target, stream));
  stream.Seek(0, kSeekBegin);
  DocNode again;
  ASSERT_EQ(ReadDocument(again, stream), ReadStatus::kOk);
  EXPECT_EQ(Encode(again), Encode(target));
}

TEST(DocTreeMemoryTest, SettingAnAttributeAgainOverwritesItInPlace) {
  DocNode node;
  DocAttribute* first = node.SetString("k", kLongText);
  EXPECT_EQ(node.SetInt("k", 3), first);
  auto record = std::make_unique<DocAttribute>("k");
  record->SetWideString(u"w");
  EXPECT_EQ(node.SetAttribute(std::move(record)), first);
  EXPECT_EQ(node.GetWideString("k"), u"w");
  EXPECT_EQ(node.attributes().size(), 1u);
}

TEST(DocTreeMemoryTest, ReadTablesAreIndexedWithTheFirstOfEachNameKept) {
  // 300 children and attributes, each name twice: the second copies differ
  // in value and must be dropped.
  DocNode source("r");
  for (int i = 0; i < 300; ++i) {
    source.SetInt("a" + std::to_string(i), i);
    source.AddChild("c" + std::to_string(i))->SetInt("v", i);
  }
  const std::vector<uint8_t> bytes = Encode(source);
  // The same document with every attribute and child written twice.
  std::vector<uint8_t> doc = {'Q', 'D', 'O', 'C', 1, 'r'};
  auto u32 = [&doc](uint32_t v) {
    for (int i = 0; i < 4; ++i) doc.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto name = [&doc](const std::string& text) {
    doc.push_back(static_cast<uint8_t>(text.size()));
    doc.insert(doc.end(), text.begin(), text.end());
  };
  u32(600);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 300; ++i) {
      name("a" + std::to_string(i));
      doc.push_back(1);
      u32(static_cast<uint32_t>(round == 0 ? i : -i));
    }
  }
  u32(600);
  for (int round = 0; round < 2; ++round) {
    for (int i = 0; i < 300; ++i) {
      doc.insert(doc.end(), {'Q', 'D', 'O', 'C'});
      name("c" + std::to_string(i));
      u32(1);
      name("v");
      doc.push_back(1);
      u32(static_cast<uint32_t>(round == 0 ? i : -i));
      u32(0);
    }
  }
  DocNode read;
  ASSERT_EQ(ReadDocumentBytes(read, doc.data(), static_cast<uint32_t>(doc.size())), ReadStatus::kOk);
  ASSERT_EQ(read.children().size(), 300u);
  ASSERT_EQ(read.attributes().size(), 300u);
  for (int i = 0; i < 300; ++i) {
    ASSERT_EQ(read.GetInt("a" + std::to_string(i), -1000), i);
    ASSERT_EQ(read.FindChild("c" + std::to_string(i))->GetInt("v", -1000), i);
  }
  EXPECT_EQ(Encode(read), bytes);  // the same as the tree without duplicates
  // The index keeps working as the read table grows.
  for (int i = 300; i < 700; ++i) ASSERT_NE(read.AddChild("c" + std::to_string(i)), nullptr);
  EXPECT_EQ(read.AddChild("c5"), nullptr);
  EXPECT_EQ(read.AddChild("c650"), nullptr);
  EXPECT_EQ(read.FindChild("c699")->name(), "c699");
  EXPECT_EQ(read.children().size(), 700u);
}

TEST(DocTreeMemoryTest, TheWriterStagesLargeDocumentsIntoFilesAndMemoryAlike) {
  // More than the writer's staging buffer in small fields, and one block
  // larger than it.
  DocNode root("big");
  for (int c = 0; c < 40; ++c) {
    DocNode* child = root.AddChild("c" + std::to_string(c));
    for (int a = 0; a < 500; ++a) child->SetString("a" + std::to_string(a), kLongText);
  }
  const std::vector<uint8_t> large(3u << 20, 0x5A);
  root.SetBinary("large", MemoryStream(large.data(), static_cast<uint32_t>(large.size())));
  const std::vector<uint8_t> in_memory = Encode(root);
  ASSERT_GT(in_memory.size(), 5u << 20);

  testing::TempDir dir;
  ASSERT_TRUE(SaveDocumentFile(root, dir / "big.qdoc"));
  MemoryStream from_file;
  {
    FileStream file;
    ASSERT_TRUE(file.Open(dir / "big.qdoc", FileStream::Mode::kRead));
    from_file = MemoryStream(file);
  }
  ASSERT_EQ(from_file.size(), in_memory.size());
  EXPECT_EQ(std::vector<uint8_t>(from_file.Data(), from_file.Data() + from_file.size()), in_memory);

  // Into a memory stream that already holds bytes: the document goes in
  // at the position, and the stream ends right after it.
  MemoryStream stream("prefix", 6);
  stream.Seek(0, kSeekEnd);
  ASSERT_TRUE(WriteDocument(root, stream));
  EXPECT_EQ(stream.size(), 6 + in_memory.size());
  EXPECT_EQ(stream.Position(), stream.size());
  EXPECT_EQ(std::memcmp(stream.Data() + 6, in_memory.data(), in_memory.size()), 0);

  // A stream that takes nothing makes the write fail.
  FileStream closed;
  EXPECT_FALSE(WriteDocument(root, closed));
}

}  // namespace
}  // namespace vidora
