#include "core/document/memory_stream.h"

#include <gtest/gtest.h>

namespace vidora {
namespace {

TEST(MemoryStreamTest, SeekClampsToTheBlock) {
  MemoryStream stream("abcd", 4);
  EXPECT_EQ(stream.Seek(10, kSeekEnd), 0u);
  EXPECT_EQ(stream.Seek(1, kSeekEnd), 3u);
  EXPECT_EQ(stream.Seek(100, kSeekBegin), 4u);
  EXPECT_EQ(stream.Seek(-2, kSeekCurrent), 2u);
  EXPECT_EQ(stream.Seek(-20, kSeekCurrent), 0u);
  MemoryStream empty;
  EXPECT_EQ(empty.Seek(3, kSeekBegin), 0u);
}

TEST(MemoryStreamTest, WritesGrowTheBlockExactly) {
  MemoryStream stream;
  EXPECT_EQ(stream.Write("xy", 0), 0u);
  EXPECT_EQ(stream.Write(nullptr, 3), 0u);
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_EQ(stream.Write("hello", 5), 5u);
  EXPECT_EQ(stream.Size(), 5u);
  stream.Seek(3, kSeekBegin);
  EXPECT_EQ(stream.Write("LOWORLD", 7), 7u);
  EXPECT_EQ(stream.Size(), 10u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(stream.Data()), 10), "helLOWORLD");
}

TEST(MemoryStreamTest, ReadStopsAtTheEnd) {
  MemoryStream stream("abc", 3);
  char buffer[8] = {};
  EXPECT_EQ(stream.Read(buffer, 2), 2u);
  EXPECT_EQ(stream.Read(buffer, 8), 1u);
  EXPECT_EQ(buffer[0], 'c');
  EXPECT_EQ(stream.Read(buffer, 8), 0u);
}

TEST(MemoryStreamTest, ReserveResizesAndClampsAndCloseEmpties) {
  MemoryStream stream("abcdef", 6);
  stream.Seek(5, kSeekBegin);
  EXPECT_EQ(stream.Reserve(2), 1u);
  EXPECT_EQ(stream.Size(), 2u);
  EXPECT_EQ(stream.Position(), 2u);
  EXPECT_EQ(stream.Reserve(0), 1u);
  EXPECT_EQ(stream.Data(), nullptr);
  stream.Write("z", 1);
  stream.Close();
  EXPECT_EQ(stream.Size(), 0u);
  EXPECT_EQ(stream.Position(), 0u);
}

TEST(MemoryStreamTest, CopiesAnotherStreamFromTheStart) {
  MemoryStream source("payload", 7);
  source.Seek(4, kSeekBegin);
  MemoryStream copy(static_cast<ByteStream&>(source));
  EXPECT_EQ(copy.Size(), 7u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(copy.Data()), 7), "payload");
}

}  // namespace
}  // namespace vidora
