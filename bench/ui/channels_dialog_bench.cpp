// The channels dialog over a catalogue of 200,000 channels: opening it
// (again, over the same list), the first opening's extra work after the
// list changed, refilling the channel list after a filter change, and
// typing to search: the first key (every channel searched), a typical key
// (narrowing what the first one found) and Backspace (widening again). Each timing includes
// the list's layout and painting the visible rows. The argument says what
// the channels come from: 0 the catalogue file, 1 an imported playlist of
// 200,000 entries (groups, tvg ids, logos from 127.0.0.1) with its
// playlist manager current, so rows ask for logos and guide lines as in
// the player; both run in the same process.
#include <QApplication>
#include <QComboBox>

#include <cstdlib>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/playlists/playlist_import.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"
#include "ui/catalogue/channel_list_model.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/channels_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

constexpr int kCountries = 200;
constexpr int kChannelsPerCountry = 1000;
const char* const kCategories[] = {"l", "mu", "n", "r", "sp", "e", "mo", "k", "wc", "ad"};

// A catalogue of kCountries x kChannelsPerCountry channels, every tenth an
// "ad" channel, every fourth a radio station, every 50th a favourite.
ChannelCatalogue& LargeCatalogue() {
  static std::unique_ptr<ChannelCatalogue> catalogue = [] {
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetBarUnitForDpi(96);
    Skin().Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
    DocNode root("v_bench");
    int n = 0;
    for (int c = 0; c < kCountries; ++c) {
      DocNode* country = root.AddChild("c" + std::to_string(c));
      for (int i = 0; i < kChannelsPerCountry; ++i, ++n) {
        DocNode* channel = country->AddChild("ch" + std::to_string(i));
        const std::string name = "Channel " + std::to_string((n * 7919) % 100000);
        channel->SetWideString("n", std::u16string(name.begin(), name.end()));
        channel->SetString("p", "p");
        channel->SetString("c", kCategories[n % 10]);
        if (n % 4 == 0) channel->SetBool("r", true);
        DocNode* source = channel->AddChild("0");
        source->SetInt("b", 64 + n % 256);
        source->SetWideString("u", u"http://127.0.0.1/stream");
      }
    }
    testing::TempDir dir;
    const std::filesystem::path path = dir.path() / "Channels.vdch";
    SaveDocumentFile(root, path);
    auto loaded = std::make_unique<ChannelCatalogue>();
    loaded->Load(path, nullptr);
    int i = 0;
    for (Channel* channel : loaded->AllChannels()) channel->set_favourite(i++ % 50 == 0);
    return loaded;
  }();
  return *catalogue;
}

// A catalogue of one channel and one imported playlist of 200,000 entries,
// attached by a playlist manager (which stays current until the process
// ends, as both stay in the player).
ChannelCatalogue& LargePlaylist() {
  static testing::TempDir dir;
  static ChannelCatalogue* catalogue = nullptr;
  if (catalogue != nullptr) return *catalogue;
  LargeCatalogue();  // the skin and message sink
  const char* groups[] = {"News", "Sport", "Музыка", "Kinder", "Films", "Documentary", "Radio", "Regional"};
  std::string text = "#EXTM3U\n";
  for (int n = 0; n < kCountries * kChannelsPerCountry; ++n) {
    const std::string id = std::to_string(n);
    text += "#EXTINF:-1 tvg-id=\"ch" + id + ".example\" tvg-logo=\"http://127.0.0.1:9/" + id + ".png\" group-title=\"" +
            groups[n % 8] + "\",Channel " + std::to_string((n * 7919) % 100000) + "\nhttp://127.0.0.1/" + id + "\n";
  }
  const PlaylistImport imported =
      ImportPlaylistText(text, u"/nonexistent/bench.m3u", u"Bench", dir.path() / "playlists", 0);
  if (!imported.ok) std::abort();
  DocNode root("v_bench");
  DocNode* one = root.AddChild("c0")->AddChild("ch0");
  one->SetWideString("n", u"Catalogue channel");
  one->SetString("c", "n");
  one->AddChild("0")->SetWideString("u", u"http://127.0.0.1/stream");
  SaveDocumentFile(root, dir.path() / "Channels.vdch");
  catalogue = new ChannelCatalogue();
  catalogue->Load(dir.path() / "Channels.vdch", nullptr);
  static PlaylistManager* const manager = new PlaylistManager(
      *catalogue, PlaylistFolders{dir.path() / "playlists", dir.path() / "logos", dir.path() / "guides"},
      [] { return int64_t{1767225600}; });
  if (PlaylistManager::Current() != manager) std::abort();
  // The stored playlist is read in the background.
  while (manager->busy()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  int i = 0;
  for (Channel* channel : catalogue->AllChannels()) channel->set_favourite(i++ % 50 == 0);
  return *catalogue;
}

ChannelCatalogue& Channels(const benchmark::State& state) {
  return state.range(0) == 0 ? LargeCatalogue() : LargePlaylist();
}

// Lets a dialog make what its list still needs (the first opening after
// the list changed does that between events).
void UntilListed(const ChannelsDialog& dialog) {
  while (dialog.ChannelListPending()) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

void BM_OpenChannelsDialog(benchmark::State& state) {
  ChannelCatalogue& catalogue = Channels(state);
  for (auto _ : state) {
    ChannelsDialog dialog(nullptr, &catalogue);
    dialog.resize(480, 640);
    UntilListed(dialog);
    // The first frame: layout of the list and the visible rows painted.
    benchmark::DoNotOptimize(dialog.grab());
  }
  state.counters["channels"] = static_cast<double>(catalogue.AllChannels().size());
}
BENCHMARK(BM_OpenChannelsDialog)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

// What the first opening after the channel list changed (a load, a
// playlist added or refreshed) costs beyond BM_OpenChannelsDialog, which
// reopens over the same list: folding every channel's name once, in the
// list's order.
void BM_FoldNamesAfterListChange(benchmark::State& state) {
  ChannelCatalogue& catalogue = Channels(state);
  for (auto _ : state) benchmark::DoNotOptimize(FoldedNames::Make(catalogue.AllChannels()));
  state.counters["channels"] = static_cast<double>(catalogue.AllChannels().size());
}
BENCHMARK(BM_FoldNamesAfterListChange)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

void BM_RefillOnFilterChange(benchmark::State& state) {
  ChannelCatalogue& catalogue = Channels(state);
  ChannelsDialog dialog(nullptr, &catalogue);
  dialog.resize(480, 640);
  UntilListed(dialog);
  dialog.grab();
  int kind = 0;
  for (auto _ : state) {
    // All, TV only, radio only in turn: each refills the whole list.
    kind = (kind + 1) % 3;
    dialog.kind_combo()->setCurrentIndex(kind);
    dialog.channel_list()->doItemsLayout();
    benchmark::DoNotOptimize(dialog.channel_list()->viewport()->grab());
  }
  state.counters["rows"] = dialog.channel_list()->RowCount();
}
BENCHMARK(BM_RefillOnFilterChange)->Unit(benchmark::kMillisecond)->Arg(0)->Arg(1);

// The 200,000-entry playlist chosen as the country, then its groups in
// turn ("All groups", then each of the eight): each refills the list in
// playlist order, filtered by the playlist's own group.
void BM_PlaylistGroupFilter(benchmark::State& state) {
  ChannelCatalogue& catalogue = LargePlaylist();
  ChannelsDialog dialog(nullptr, &catalogue);
  dialog.resize(480, 640);
  dialog.kind_combo()->setCurrentIndex(0);
  dialog.category_combo()->setCurrentIndex(0);
  dialog.country_combo()->setCurrentIndex(dialog.country_combo()->findText(QStringLiteral("Bench")));
  UntilListed(dialog);
  dialog.grab();
  if (dialog.group_combo()->count() != 9) std::abort();
  int group = 0;
  for (auto _ : state) {
    group = (group + 1) % dialog.group_combo()->count();
    dialog.group_combo()->setCurrentIndex(group);
    dialog.channel_list()->doItemsLayout();
    benchmark::DoNotOptimize(dialog.channel_list()->viewport()->grab());
  }
  state.counters["rows"] = dialog.channel_list()->RowCount();
}
BENCHMARK(BM_PlaylistGroupFilter)->Unit(benchmark::kMillisecond);

// Times changing the search text from `from` to `to` on the full list.
void SearchStep(benchmark::State& state, const QString& from, const QString& to) {
  ChannelCatalogue& catalogue = Channels(state);
  ChannelsDialog dialog(nullptr, &catalogue);
  dialog.resize(480, 640);
  dialog.kind_combo()->setCurrentIndex(0);
  UntilListed(dialog);
  dialog.grab();
  ChannelListView* list = dialog.channel_list();
  for (auto _ : state) {
    state.PauseTiming();
    list->SetSearchText(from);
    list->doItemsLayout();
    list->viewport()->grab();
    state.ResumeTiming();
    list->SetSearchText(to);
    list->doItemsLayout();
    benchmark::DoNotOptimize(list->viewport()->grab());
  }
  state.counters["rows"] = list->RowCount();
  state.counters["channels"] = static_cast<double>(catalogue.AllChannels().size());
}

void BM_SearchFirstKey(benchmark::State& state) { SearchStep(state, QString(), QStringLiteral("1")); }
void BM_SearchTypicalKey(benchmark::State& state) {
  SearchStep(state, QStringLiteral("channel 1"), QStringLiteral("channel 12"));
}
void BM_SearchBackspace(benchmark::State& state) {
  SearchStep(state, QStringLiteral("channel 12"), QStringLiteral("channel 1"));
}
// The baseline the model's pool is measured against, in the same process:
// the whole-list search as it was done before the pool, following each
// row's channel to its name and comparing with Qt's case-insensitive
// contains.
void BM_SearchBaselinePerRowContains(benchmark::State& state) {
  const std::vector<Channel*>& channels = LargeCatalogue().AllChannels();
  const QString needle = QStringLiteral("1");
  std::vector<int> matches;
  for (auto _ : state) {
    matches.clear();
    for (size_t i = 0; i < channels.size(); ++i) {
      const std::u16string_view name = channels[i]->name();
      if (QStringView(name.data(), static_cast<qsizetype>(name.size())).contains(needle, Qt::CaseInsensitive)) {
        matches.push_back(static_cast<int>(i));
      }
    }
    benchmark::DoNotOptimize(matches.data());
  }
  state.counters["rows"] = static_cast<double>(matches.size());
}
BENCHMARK(BM_SearchBaselinePerRowContains)->Unit(benchmark::kMillisecond)->UseRealTime();

// The model alone (no view): the first key over every row.
void BM_SearchModelFirstKey(benchmark::State& state) {
  ChannelListModel model;
  model.SetChannels(LargeCatalogue().AllChannels());
  for (auto _ : state) {
    state.PauseTiming();
    model.SetSearchText(QString());
    state.ResumeTiming();
    model.SetSearchText(QStringLiteral("1"));
  }
  state.counters["rows"] = model.ShownCount();
}
BENCHMARK(BM_SearchModelFirstKey)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK(BM_SearchFirstKey)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);
BENCHMARK(BM_SearchTypicalKey)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);
BENCHMARK(BM_SearchBackspace)->Unit(benchmark::kMillisecond)->UseRealTime()->Arg(0)->Arg(1);

}  // namespace
}  // namespace vidora
