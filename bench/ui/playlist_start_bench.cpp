// A large stored playlist in a running player: what the UI thread pays.
//
// The argument is the playlist's entries (WriteBenchPlaylist): 200,000
// shaped like a provider's list, or 1,000,000 with a short name and an
// address each.
// BM_ReadM3uFile is the baseline: reading the M3U file into memory.
// BM_StartWithStoredPlaylist makes a catalogue and a playlist manager over
// the stored playlist, as the main window does at start, and runs the
// event loop until the playlist's channels are in place and the guide's
// inputs collected. Counters:
// blocked_ms, how long the manager's construction held the UI thread (the
// main window waits for it); in_place_ms, until the channels are listed;
// stall_ms, the longest the event loop did not answer a 5 ms timer, and
// stall_cpu_ms, the most CPU time the UI thread spent between two of its
// ticks (stall_ms less what other processes of a busy machine took);
// peak_MB, the peak resident growth; file_MB and m3u_MB, the sizes of
// the stored file and of the M3U.
// BM_ImportWhileRunning imports the M3U into a running manager (menu or
// drop) and runs the event loop until it is listed: total_ms, stall_ms,
// peak_MB, and kept_MB, the resident growth once the import is over
// (what the import did not give back).
// BM_ListInChannelsDialog opens the channels dialog on the playlist, as
// the user does after the import, twice: stall_ms until it is shown and
// listed (the first opening, which makes the playlist's rows and the
// folded names), listed_ms how long the first one took in all, and
// reopen_stall_ms the longest stall of the second one.
// BM_SortAndSearchInChannelsDialog sorts the listed playlist and searches
// it: sort_stall_ms and search_stall_ms.
// Each stall is also given as stall_vs_read, its ratio to read_ms, the
// time the same run takes to read the M3U file into memory (the baseline):
// the UI thread should never wait longer than about 100 ms, whatever that
// read costs.
#include <QComboBox>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_import.h"
#include "core/stores/message_sink.h"
#include "bench_playlist.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

std::filesystem::path Folder() {
  static testing::TempDir dir;
  return dir.path();
}

// The M3U of `entries` entries, written once per size.
std::filesystem::path M3uFile(int entries) {
  const std::filesystem::path path = Folder() / ("list" + std::to_string(entries) + ".m3u");
  if (!std::filesystem::exists(path)) WriteBenchPlaylist(path, entries);
  return path;
}

long ReadKb(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind(field, 0) == 0) return std::stol(line.substr(std::strlen(field)));
  }
  return -1;
}

void ResetPeak() {
  std::ofstream clear("/proc/self/clear_refs");
  clear << "5";
}

std::filesystem::path CatalogueFile() {
  const std::filesystem::path path = Folder() / "Channels.vdch";
  if (std::filesystem::exists(path)) return path;
  SetMessageSink([](const std::u16string&, const std::u16string&) {});
  SetBarUnitForDpi(96);
  Skin().Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
  DocNode root("v_bench");
  DocNode* one = root.AddChild("c0")->AddChild("ch0");
  one->SetWideString("n", u"Catalogue channel");
  one->SetString("c", "n");
  one->AddChild("0")->SetWideString("u", u"http://127.0.0.1/stream");
  SaveDocumentFile(root, path);
  return path;
}

// The UI thread's own CPU time, in ms.
double ThreadCpuMs() {
  timespec now {};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// How long the event loop did not answer: wall_ms, the longest a 5 ms
// timer waited beyond its interval (which a machine busy with other work
// adds to), and cpu_ms, the most CPU time the UI thread spent between two
// ticks (what this process's own work held it).
struct Stall {
  double wall_ms = 0;
  double cpu_ms = 0;
  void Add(const Stall& other) {
    wall_ms = std::max(wall_ms, other.wall_ms);
    cpu_ms = std::max(cpu_ms, other.cpu_ms);
  }
};

// Runs the event loop until `done`, measuring its stalls.
template <typename Done>
Stall RunUntil(Done done) {
  QElapsedTimer since;
  since.start();
  double cpu_since = ThreadCpuMs();
  Stall longest;
  auto note = [&] {
    const double cpu = ThreadCpuMs();
    longest.Add({static_cast<double>(since.nsecsElapsed()) / 1e6 - 5, cpu - cpu_since});
    since.restart();
    cpu_since = cpu;
  };
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tick, &QTimer::timeout, note);
  tick.start(5);
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
  note();
  return longest;
}

PlaylistFolders FoldersIn(const std::filesystem::path& root) {
  return PlaylistFolders{root / "playlists", root / "logos", root / "guides"};
}

// The baseline of the stalls: one plain read of the M3U, in ms.
double ReadMs(int entries) {
  const std::filesystem::path path = M3uFile(entries);
  std::string text;
  ReadSmallFile(path, UINT64_MAX, text);  // the page cache holds it for the timed read
  QElapsedTimer clock;
  clock.start();
  text.clear();
  text.shrink_to_fit();
  ReadSmallFile(path, UINT64_MAX, text);
  return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void ReportStall(benchmark::State& state, const Stall& stall, int entries) {
  const double read = ReadMs(entries);
  state.counters["stall_ms"] = stall.wall_ms;
  state.counters["stall_cpu_ms"] = stall.cpu_ms;
  state.counters["read_ms"] = read;
  state.counters["stall_vs_read"] = stall.wall_ms / read;
}

void BM_ReadM3uFile(benchmark::State& state) {
  const std::filesystem::path path = M3uFile(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::string text;
    if (!ReadSmallFile(path, UINT64_MAX, text)) state.SkipWithError("cannot read");
    benchmark::DoNotOptimize(text.data());
  }
  state.counters["m3u_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
}

// The stored playlist of `entries`, imported once per size.
std::filesystem::path StoredFolder(int entries) {
  const std::filesystem::path root = Folder() / ("stored" + std::to_string(entries));
  if (!std::filesystem::exists(root)) {
    const PlaylistImport imported =
        FetchAndImportPlaylist(Utf8ToUtf16(M3uFile(entries).string()), u"Bench", root / "playlists", 0);
    if (!imported.ok) std::abort();
    malloc_trim(0);
  }
  return root;
}

void BM_StartWithStoredPlaylist(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const std::filesystem::path root = StoredFolder(entries);
  const std::filesystem::path catalogue_file = CatalogueFile();
  double blocked = 0, in_place = 0;
  Stall stall;
  long peak = 0;
  for (auto _ : state) {
    malloc_trim(0);
    ResetPeak();
    const long before = ReadKb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    {
      ChannelCatalogue catalogue;
      catalogue.Load(catalogue_file, nullptr);
      auto manager = std::make_unique<PlaylistManager>(catalogue, FoldersIn(root), [] { return int64_t{0}; });
      blocked = static_cast<double>(clock.nsecsElapsed()) / 1e6;
      stall = {blocked, blocked};
      stall.Add(RunUntil([&] { return catalogue.AllChannels().size() > 1; }));
      in_place = static_cast<double>(clock.nsecsElapsed()) / 1e6;
      // Then what follows on the UI thread: the guide's inputs.
      stall.Add(RunUntil([&] { return !manager->placing(); }));
      if (catalogue.AllChannels().size() != static_cast<size_t>(entries) + 1) state.SkipWithError("wrong channel count");
      peak = ReadKb("VmHWM:") - before;
      manager.reset();
    }
  }
  state.counters["blocked_ms"] = blocked;
  state.counters["in_place_ms"] = in_place;
  ReportStall(state, stall, entries);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1024;
  std::error_code error;
  uintmax_t stored = 0;
  for (const auto& entry : std::filesystem::directory_iterator(root / "playlists", error)) stored += entry.file_size();
  state.counters["file_MB"] = static_cast<double>(stored) / 1e6;
  state.counters["m3u_MB"] = static_cast<double>(std::filesystem::file_size(M3uFile(entries))) / 1e6;
}

void BM_ImportWhileRunning(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  const std::filesystem::path m3u = M3uFile(entries);
  const std::filesystem::path catalogue_file = CatalogueFile();
  double total = 0;
  Stall stall;
  long peak = 0, kept = 0;
  for (auto _ : state) {
    const std::filesystem::path root = Folder() / "running";
    std::filesystem::remove_all(root);
    ChannelCatalogue catalogue;
    catalogue.Load(catalogue_file, nullptr);
    auto manager = std::make_unique<PlaylistManager>(catalogue, FoldersIn(root), [] { return int64_t{0}; });
    bool imported = false;
    QObject::connect(manager.get(), &PlaylistManager::Imported, [&](bool ok, const QString&, const QString&) {
      imported = true;
      if (!ok) state.SkipWithError("import failed");
    });
    malloc_trim(0);
    ResetPeak();
    const long before = ReadKb("VmRSS:");
    QElapsedTimer clock;
    clock.start();
    manager->AddPlaylistSource(QString::fromStdString(m3u.string()));
    stall = RunUntil([&] { return imported && !manager->placing() && !manager->busy(); });
    total = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    peak = ReadKb("VmHWM:") - before;
    // What stays: the channels, and whatever the import kept.
    kept = ReadKb("VmRSS:") - before;
    if (catalogue.AllChannels().size() != static_cast<size_t>(entries) + 1) state.SkipWithError("wrong channel count");
    manager.reset();
  }
  state.counters["total_ms"] = total;
  ReportStall(state, stall, entries);
  state.counters["peak_MB"] = static_cast<double>(peak) / 1024;
  state.counters["kept_MB"] = static_cast<double>(kept) / 1024;
}

// The stall of running `work` on the UI thread.
template <typename Work>
Stall Timed(Work work) {
  QElapsedTimer clock;
  clock.start();
  const double cpu = ThreadCpuMs();
  work();
  return {static_cast<double>(clock.nsecsElapsed()) / 1e6, ThreadCpuMs() - cpu};
}

// A catalogue and a playlist manager over the stored playlist of
// `entries`, once its channels are in place.
struct PlacedPlaylist {
  explicit PlacedPlaylist(int entries) : root(StoredFolder(entries)) {
    catalogue.Load(CatalogueFile(), nullptr);
    manager = std::make_unique<PlaylistManager>(catalogue, FoldersIn(root), [] { return int64_t{0}; });
    RunUntil([&] { return !manager->placing() && !manager->busy(); });
  }
  std::filesystem::path root;
  ChannelCatalogue catalogue;
  std::unique_ptr<PlaylistManager> manager;
};

void BM_ListInChannelsDialog(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  PlacedPlaylist placed(entries);
  ChannelCatalogue& catalogue = placed.catalogue;
  if (catalogue.AllChannels().size() != static_cast<size_t>(entries) + 1) state.SkipWithError("wrong channel count");
  Stall stall, reopening;
  double listed = 0;
  bool first = true;
  for (auto _ : state) {
    // The first opening comes after the list changed, as after an import;
    // the next ones find what the first one made.
    catalogue.SetCurrentChannel(nullptr);
    Stall opening;
    QElapsedTimer clock;
    clock.start();
    ChannelsDialog* dialog = nullptr;
    opening.Add(Timed([&] {
      dialog = new ChannelsDialog(nullptr, &catalogue);
      dialog->resize(480, 640);
      dialog->kind_combo()->setCurrentIndex(0);
      dialog->category_combo()->setCurrentIndex(0);
      dialog->grab();
    }));
    // Rows still on their way arrive between other events.
    opening.Add(RunUntil([&] { return !dialog->ChannelListPending(); }));
    opening.Add(Timed([&] {
      dialog->country_combo()->setCurrentIndex(dialog->country_combo()->findText(QStringLiteral("Bench")));
      dialog->channel_list()->doItemsLayout();
      dialog->grab();
    }));
    opening.Add(RunUntil([&] { return !dialog->ChannelListPending(); }));
    opening.Add(Timed([&] {
      dialog->channel_list()->doItemsLayout();
      dialog->grab();
    }));
    if (first) listed = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    if (dialog->channel_list()->RowCount() != entries) state.SkipWithError("wrong row count");
    stall.Add(opening);
    if (!first) reopening.Add(opening);
    first = false;
    delete dialog;
  }
  ReportStall(state, stall, entries);
  state.counters["listed_ms"] = listed;
  state.counters["reopen_stall_ms"] = reopening.wall_ms;
  state.counters["reopen_stall_cpu_ms"] = reopening.cpu_ms;
}

// After the list is in: the playlist sorted by name and by number, then a
// search typed a letter at a time and cleared: stall_ms, the longest the
// UI thread was held through it all.
void BM_SortAndSearchInChannelsDialog(benchmark::State& state) {
  const int entries = static_cast<int>(state.range(0));
  PlacedPlaylist placed(entries);
  ChannelCatalogue& catalogue = placed.catalogue;
  ChannelsDialog dialog(nullptr, &catalogue);
  dialog.resize(480, 640);
  dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("Bench")));
  RunUntil([&] { return !dialog.ChannelListPending(); });
  Stall sort, search;
  for (auto _ : state) {
    for (int order : {1, 2, 0}) {
      sort.Add(Timed([&] { dialog.sort_combo()->setCurrentIndex(order); }));
      sort.Add(RunUntil([&] { return !dialog.ChannelListPending(); }));
    }
    for (const char* text : {"1", "12", "123", "12", ""}) {
      search.Add(Timed([&] {
        dialog.channel_list()->SetSearchText(QString::fromLatin1(text));
        dialog.grab();
      }));
    }
    if (dialog.channel_list()->RowCount() != entries) state.SkipWithError("wrong row count");
  }
  state.counters["sort_stall_ms"] = sort.wall_ms;
  state.counters["sort_stall_cpu_ms"] = sort.cpu_ms;
  state.counters["search_stall_ms"] = search.wall_ms;
  state.counters["search_stall_cpu_ms"] = search.cpu_ms;
}

BENCHMARK(BM_ReadM3uFile)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Arg(200000)->Arg(1000000);
BENCHMARK(BM_StartWithStoredPlaylist)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3)->Arg(200000)->Arg(1000000);
BENCHMARK(BM_ImportWhileRunning)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Arg(200000)->Arg(1000000);
BENCHMARK(BM_ListInChannelsDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2)->Arg(200000)->Arg(1000000);
BENCHMARK(BM_SortAndSearchInChannelsDialog)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1)->Arg(200000)->Arg(1000000);

}  // namespace
}  // namespace vidora
