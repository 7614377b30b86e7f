// Reading and writing a large document: about 50 MB with a million
// attributes, through memory and through a file. Reports MB/s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"

namespace {

using vidora::DocNode;

// 1000 children of 1000 attributes each, mixing every value kind; ~50 MB.
const DocNode& LargeDocument() {
  static DocNode* root = [] {
    auto* node = new DocNode("large");
    const std::string text(24, 's');
    const std::u16string wide(8, u'w');
    const std::string blob(20, 'b');
    for (int c = 0; c < 1000; ++c) {
      DocNode* child = node->AddChild("child_" + std::to_string(c));
      for (int a = 0; a < 1000; ++a) {
        const std::string name = "attribute_" + std::to_string(a);
        switch (a % 4) {
          case 0: child->SetInt(name, a); break;
          case 1: child->SetString(name, text); break;
          case 2: child->SetWideString(name, wide); break;
          default: child->SetBinary(name, vidora::MemoryStream(blob.data(), static_cast<uint32_t>(blob.size()))); break;
        }
      }
    }
    return node;
  }();
  return *root;
}

const vidora::MemoryStream& Encoded() {
  static vidora::MemoryStream* bytes = [] {
    auto* stream = new vidora::MemoryStream;
    vidora::WriteDocument(LargeDocument(), *stream);
    return stream;
  }();
  return *bytes;
}

void BM_WriteToMemory(benchmark::State& state) {
  const DocNode& root = LargeDocument();
  for (auto _ : state) {
    vidora::MemoryStream out;
    vidora::WriteDocument(root, out);
    benchmark::DoNotOptimize(out.Data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Encoded().size());
}

void BM_ReadFromMemory(benchmark::State& state) {
  const vidora::MemoryStream& encoded = Encoded();
  for (auto _ : state) {
    vidora::MemoryStream in(encoded.Data(), encoded.size());
    DocNode root;
    if (!vidora::ReadDocument(root, in)) state.SkipWithError("read failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * encoded.size());
}

std::filesystem::path BenchFile() {
  return std::filesystem::temp_directory_path() / ("vidora_bench_" + std::to_string(getpid()) + ".qdoc");
}

void BM_SaveFile(benchmark::State& state) {
  const DocNode& root = LargeDocument();
  const auto path = BenchFile();
  for (auto _ : state) {
    vidora::FileStream file;
    file.Open(path, vidora::FileStream::Mode::kWrite);
    vidora::WriteDocument(root, file);
    file.Close();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Encoded().size());
  std::filesystem::remove(path);
}

void BM_LoadFile(benchmark::State& state) {
  const auto path = BenchFile();
  vidora::SaveDocumentFile(LargeDocument(), path);
  for (auto _ : state) {
    DocNode root;
    if (!vidora::LoadDocumentFile(root, path)) state.SkipWithError("load failed");
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Encoded().size());
  std::filesystem::remove(path);
}

BENCHMARK(BM_WriteToMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadFromMemory)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SaveFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
