#include "core/document/document_format.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/document/memory_stream.h"

namespace vidora {
namespace {

std::vector<uint8_t> Encode(const DocNode& node) {
  MemoryStream stream;
  EXPECT_TRUE(WriteDocument(node, stream));
  return std::vector<uint8_t>(stream.Data(), stream.Data() + stream.size());
}

std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<uint8_t> out;
  for (int v : values) out.push_back(static_cast<uint8_t>(v));
  return out;
}

void Append(std::vector<uint8_t>& out, const std::string& text) { out.insert(out.end(), text.begin(), text.end()); }

bool Decode(const std::vector<uint8_t>& bytes, DocNode& node) {
  MemoryStream stream(bytes.data(), static_cast<uint32_t>(bytes.size()));
  return ReadDocument(node, stream) == ReadStatus::kOk;
}

TEST(DocumentFormatTest, EmptySetNodeIsSixteenBytes) {
  DocNode node("set");
  std::vector<uint8_t> expected;
  Append(expected, "QDOC");
  expected.push_back(3);
  Append(expected, "set");
  for (int i = 0; i < 8; ++i) expected.push_back(0);
  EXPECT_EQ(Encode(node), expected);
}

TEST(DocumentFormatTest, LengthPrefixTakesTheShortestForm) {
  const auto prefix_of = [](size_t length) {
    DocNode node(std::string(length, 'n'));
    auto bytes = Encode(node);
    return std::vector<uint8_t>(bytes.begin() + 4, bytes.begin() + 4 + (length < 255 ? 1 : length < 65535 ? 3 : 7));
  };
  EXPECT_EQ(prefix_of(254), Bytes({0xFE}));
  EXPECT_EQ(prefix_of(255), Bytes({0xFF, 0xFF, 0x00}));
  EXPECT_EQ(prefix_of(65534), Bytes({0xFF, 0xFE, 0xFF}));
  EXPECT_EQ(prefix_of(65535), Bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00}));
  for (size_t length : {0u, 254u, 255u, 65534u, 65535u, 70000u}) {
    DocNode node(std::string(length, 'q'));
    DocNode back;
    ASSERT_TRUE(Decode(Encode(node), back)) << length;
    EXPECT_EQ(back.name().size(), length);
  }
}

TEST(DocumentFormatTest, AttributeEncodings) {
  DocNode node("r");
  node.SetBool("first_run", false);
  auto bytes = Encode(node);
  std::vector<uint8_t> expected;
  expected.push_back(9);
  Append(expected, "first_run");
  for (int v : {0x02, 0, 0, 0, 0}) expected.push_back(static_cast<uint8_t>(v));
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 10 + expected.size()), expected);

  DocNode wide("r");
  wide.SetWideString("w", u"abc");
  bytes = Encode(wide);
  // magic, name, count, "w" prefix+byte, type, then the wide string.
  EXPECT_EQ(bytes[4 + 2 + 4 + 2], 7);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 13, bytes.begin() + 20), Bytes({3, 'a', 0, 'b', 0, 'c', 0}));

  DocNode binary("r");
  binary.SetBinary("b", MemoryStream());
  bytes = Encode(binary);
  EXPECT_EQ(std::vector<uint8_t>(bytes.begin() + 10, bytes.begin() + 17), Bytes({1, 'b', 8, 0, 0, 0, 0}));
}

TEST(DocumentFormatTest, EveryTypeRoundTripsByteForByte) {
  DocNode root("root");
  root.AddAttribute("plain")->SetWord(AttributeType::Plain, 0xDEADBEEF);
  root.SetInt("int", -12345);
  root.SetBool("bool", true);
  root.AddAttribute("w3")->SetWord(AttributeType::Word3, 3);
  root.AddAttribute("w4")->SetWord(AttributeType::Word4, 4);
  root.AddAttribute("v64")->SetValue64({1, 2, 3, 4, 5, 6, 7, 8});
  root.SetString("s", std::string("zero\0byte", 9));
  root.SetWideString("ws", u"\u041c\u0438\u0440");
  root.SetBinary("bin", MemoryStream("\x00\x01\x02", 3));
  root.AddAttribute("odd")->SetValueless(77);
  DocNode* child = root.AddChild("child");
  child->AddChild("grandchild")->SetInt("x", 1);
  root.AddChild("");

  const auto first = Encode(root);
  DocNode back;
  ASSERT_TRUE(Decode(first, back));
  EXPECT_EQ(Encode(back), first);
  EXPECT_EQ(back.GetInt("int", 0), -12345);
  EXPECT_EQ(back.GetString("s"), std::string("zero\0byte", 9));
  EXPECT_EQ(back.GetWideString("ws"), u"\u041c\u0438\u0440");
  ASSERT_NE(back.GetBinary("bin"), nullptr);
  EXPECT_EQ(back.GetBinary("bin")->size(), 3u);
  EXPECT_EQ(back.FindAttribute("odd")->type_code(), 77);
  EXPECT_EQ(back.FindChild("child")->FindChild("grandchild")->GetInt("x", 0), 1);
}

TEST(DocumentFormatTest, FirstOfTwoSameNamesWinsOnRead) {
  std::vector<uint8_t> bytes;
  Append(bytes, "QDOC");
  bytes.push_back(1);
  Append(bytes, "r");
  for (int v : {2, 0, 0, 0}) bytes.push_back(static_cast<uint8_t>(v));
  for (int value : {11, 22}) {
    bytes.push_back(1);
    Append(bytes, "a");
    bytes.push_back(1);
    for (int v : {value, 0, 0, 0}) bytes.push_back(static_cast<uint8_t>(v));
  }
  for (int i = 0; i < 4; ++i) bytes.push_back(0);
  DocNode node;
  ASSERT_TRUE(Decode(bytes, node));
  EXPECT_EQ(node.GetInt("a", 0), 11);
  EXPECT_EQ(node.attributes().size(), 1u);
}

TEST(DocumentFormatTest, ChildWithWrongMagicStaysEmptyAndReadingGoesOn) {
  DocNode root("r");
  root.AddChild("a");
  auto bytes = Encode(root);
  // The child starts right after the root's header and counts.
  const size_t child_at = 4 + 2 + 4 + 4;
  bytes.resize(child_at);
  Append(bytes, "XXXX");
  bytes[child_at - 4] = 1;
  DocNode node;
  ASSERT_TRUE(Decode(bytes, node));
  ASSERT_EQ(node.children().size(), 1u);
  EXPECT_NE(node.FindChild(""), nullptr);
}

TEST(DocumentFormatTest, WrongMagicFailsWithAnEmptyNode) {
  DocNode node("keep");
  node.SetInt("x", 1);
  EXPECT_FALSE(Decode(Bytes({'Q', 'D', 'O', 'X', 0, 0, 0, 0, 0, 0, 0, 0, 0}), node));
  EXPECT_TRUE(node.attributes().empty());
  EXPECT_TRUE(node.name().empty());
}

TEST(DocumentFormatTest, EveryTruncationFails) {
  DocNode root("root");
  root.SetInt("i", 5);
  root.SetWideString("w", u"text");
  root.SetBinary("b", MemoryStream("12345", 5));
  root.AddAttribute("v")->SetValue64({});
  root.AddChild("c")->SetString("s", std::string(300, 'x'));
  const auto bytes = Encode(root);
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    std::vector<uint8_t> part(bytes.begin(), bytes.begin() + cut);
    DocNode node;
    EXPECT_FALSE(Decode(part, node)) << "cut at " << cut;
    EXPECT_TRUE(node.children().empty());
  }
}

TEST(DocumentFormatTest, HugeCountsFailWithoutAllocating) {
  const auto header = [] {
    std::vector<uint8_t> bytes;
    Append(bytes, "QDOC");
    bytes.push_back(0);
    return bytes;
  };
  auto attributes = header();
  for (int v : {0xFF, 0xFF, 0xFF, 0xFF}) attributes.push_back(static_cast<uint8_t>(v));
  DocNode node;
  EXPECT_FALSE(Decode(attributes, node));

  auto children = header();
  for (int v : {0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0x7F}) children.push_back(static_cast<uint8_t>(v));
  EXPECT_FALSE(Decode(children, node));

  auto binary = header();
  for (int v : {1, 0, 0, 0, 1, int{'b'}, 8, 0xFF, 0xFF, 0xFF, 0xFF}) binary.push_back(static_cast<uint8_t>(v));
  EXPECT_FALSE(Decode(binary, node));

  auto string = header();
  for (int v : {1, 0, 0, 0, 1, int{'s'}, 6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}) string.push_back(static_cast<uint8_t>(v));
  EXPECT_FALSE(Decode(string, node));
}

TEST(DocumentFormatTest, NestingIsBounded) {
  const auto nested = [](int depth) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < depth; ++i) {
      Append(bytes, "QDOC");
      for (int v : {0, 0, 0, 0, 0, 1, 0, 0, 0}) bytes.push_back(static_cast<uint8_t>(v));
    }
    Append(bytes, "QDOC");
    for (int v : {0, 0, 0, 0, 0, 0, 0, 0, 0}) bytes.push_back(static_cast<uint8_t>(v));
    return bytes;
  };
  DocNode node;
  EXPECT_TRUE(Decode(nested(kMaxDocumentDepth), node));
  EXPECT_FALSE(Decode(nested(kMaxDocumentDepth + 1), node));
  EXPECT_FALSE(Decode(nested(100000), node));
}

TEST(DocumentFormatTest, FilesLoadAndSave) {
  const auto dir = std::filesystem::temp_directory_path() / ("vidora_doc_" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  DocNode node("file");
  node.SetInt("n", 9);
  EXPECT_TRUE(SaveDocumentFile(node, dir / "a.qdoc"));
  DocNode back("untouched");
  EXPECT_NE(LoadDocumentFile(back, dir / "missing.qdoc"), ReadStatus::kOk);
  EXPECT_EQ(back.name(), "untouched");
  EXPECT_NE(LoadDocumentFile(back, dir), ReadStatus::kOk);
  EXPECT_EQ(LoadDocumentFile(back, dir / "a.qdoc"), ReadStatus::kOk);
  EXPECT_EQ(back.GetInt("n", 0), 9);
  EXPECT_FALSE(SaveDocumentFile(node, dir / "no" / "such" / "folder.qdoc"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vidora
