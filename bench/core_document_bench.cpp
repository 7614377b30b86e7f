// Reading and writing a large document: 1000 children of 1000 attributes
// each, mixing every value kind; encoded it is about 31 MB (the exact size
// is the "bytes" counter). Reading and freeing the tree are timed
// separately; saving goes through SaveDocumentFile, fsync included.
// Reports MB/s.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/document/document_format.h"
#include "core/document/file_stream.h"
#include "core/document/memory_stream.h"

namespace {

using vidora::DocNode;

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

vidora::MemoryStream& Encoded() {
  static vidora::MemoryStream* bytes = [] {
    auto* stream = new vidora::MemoryStream;
    vidora::WriteDocument(LargeDocument(), *stream);
    return stream;
  }();
  return *bytes;
}

void SetBytes(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * Encoded().size());
  state.counters["bytes"] = static_cast<double>(Encoded().size());
}

void BM_WriteToMemory(benchmark::State& state) {
  const DocNode& root = LargeDocument();
  for (auto _ : state) {
    vidora::MemoryStream out;
    vidora::WriteDocument(root, out);
    benchmark::DoNotOptimize(out.Data());
    state.PauseTiming();
    out.Close();
    state.ResumeTiming();
  }
  SetBytes(state);
}

// The parse alone: the input is one block read from the start each time,
// and the finished tree is freed outside the timing.
void BM_ReadFromMemory(benchmark::State& state) {
  vidora::MemoryStream& encoded = Encoded();
  for (auto _ : state) {
    encoded.Seek(0, vidora::kSeekBegin);
    auto root = std::make_unique<DocNode>();
    if (vidora::ReadDocument(*root, encoded) != vidora::ReadStatus::kOk) state.SkipWithError("read failed");
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
}

// Freeing a tree the reader built.
void BM_DestroyReadDocument(benchmark::State& state) {
  vidora::MemoryStream& encoded = Encoded();
  for (auto _ : state) {
    state.PauseTiming();
    encoded.Seek(0, vidora::kSeekBegin);
    auto root = std::make_unique<DocNode>();
    if (vidora::ReadDocument(*root, encoded) != vidora::ReadStatus::kOk) state.SkipWithError("read failed");
    state.ResumeTiming();
    root.reset();
  }
  SetBytes(state);
}

std::filesystem::path BenchFile() {
  return std::filesystem::temp_directory_path() / ("vidora_bench_" + std::to_string(getpid()) + ".qdoc");
}

void BM_SaveDocumentFile(benchmark::State& state) {
  const DocNode& root = LargeDocument();
  const auto path = BenchFile();
  for (auto _ : state) {
    if (!vidora::SaveDocumentFile(root, path)) state.SkipWithError("save failed");
  }
  SetBytes(state);
  std::filesystem::remove(path);
}

// Opening and parsing the file; the tree is freed outside the timing.
void BM_LoadDocumentFile(benchmark::State& state) {
  const auto path = BenchFile();
  vidora::SaveDocumentFile(LargeDocument(), path);
  for (auto _ : state) {
    auto root = std::make_unique<DocNode>();
    if (vidora::LoadDocumentFile(*root, path) != vidora::ReadStatus::kOk) state.SkipWithError("load failed");
    state.PauseTiming();
    root.reset();
    state.ResumeTiming();
  }
  SetBytes(state);
  std::filesystem::remove(path);
}

BENCHMARK(BM_WriteToMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ReadFromMemory)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DestroyReadDocument)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDocumentFile)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LoadDocumentFile)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
