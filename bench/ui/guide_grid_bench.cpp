// The programme guide grid over 10,000 playlist channels, each with a
// programme every 30 minutes over two days (960,000 programmes; the grid
// looks at the visible rows only, so more days change nothing here):
// opening it (dialog, channel list, first paint), and one step of
// scrolling a screen's worth of channels or of time, painted.
#include <QApplication>
#include <QKeyEvent>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/doc_node.h"
#include "core/document/document_format.h"
#include "core/stores/message_sink.h"
#include "support/temp_dir.h"
#include "ui/guide/guide_dialog.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"

namespace vidora {
namespace {

constexpr int kChannels = 10000;
constexpr int64_t kNow = 1767268800;  // 2026-01-01 12:00 UTC

std::string Time(int64_t seconds) {
  const time_t t = static_cast<time_t>(seconds);
  struct tm parts {};
  gmtime_r(&t, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y%m%d%H%M%S +0000", &parts);
  return text;
}

PlaylistManager& Manager() {
  static testing::TempDir dir;
  static std::unique_ptr<PlaylistManager> manager = [] {
    SetMessageSink([](const std::u16string&, const std::u16string&) {});
    SetBarUnitForDpi(96);
    Skin().Load("/nonexistent/Resources.qdoc", "/nonexistent/cbuild.qdoc");
    DocNode root("v_bench");
    DocNode* channel = root.AddChild("de")->AddChild("ard");
    channel->SetWideString("n", u"ARD");
    channel->AddChild("0")->SetWideString("u", u"http://127.0.0.1/stream");
    SaveDocumentFile(root, dir / "Channels.vdch");
    ChannelCatalogue& catalogue = LoadCatalogueFile(dir / "Channels.vdch");
    {
      std::ofstream guide(dir / "guide.xml");
      guide << "<tv>";
      for (int c = 0; c < kChannels; ++c) {
        for (int slot = 0; slot < 96; ++slot) {
          const int64_t t = kNow - 86400 + int64_t{slot} * 1800;
          guide << "<programme start=\"" << Time(t) << "\" stop=\"" << Time(t + 1800) << "\" channel=\"ch" << c
                << "\"><title>Programme " << (c + slot) % 500 << "</title></programme>\n";
        }
      }
      guide << "</tv>\n";
      std::ofstream list(dir / "list.m3u");
      list << "#EXTM3U url-tvg=\"" << (dir / "guide.xml").string() << "\"\n";
      for (int c = 0; c < kChannels; ++c) {
        list << "#EXTINF:-1 tvg-id=\"ch" << c << "\",Channel " << c << "\nhttp://127.0.0.1/" << c << "\n";
      }
    }
    auto made = std::make_unique<PlaylistManager>(
        catalogue, PlaylistFolders{dir / "playlists", dir / "logos", dir / "guides"}, [] { return kNow; });
    made->AddPlaylistSource(QString::fromStdString((dir / "list.m3u").string()));
    while (made->busy() || made->GuideChannelOf(*catalogue.AllChannels().back()) < 0) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    return made;
  }();
  return *manager;
}

void BM_OpenGuideGrid(benchmark::State& state) {
  PlaylistManager& manager = Manager();
  size_t rows = 0;
  for (auto _ : state) {
    GuideDialog dialog(nullptr, manager, ChannelsWithGuide(manager), {});
    dialog.resize(1280, 720);
    dialog.show();
    dialog.grid()->repaint();
    rows = dialog.grid()->channels().size();
  }
  state.counters["channels"] = static_cast<double>(rows);
}

void Step(benchmark::State& state, int key, Qt::KeyboardModifiers modifiers) {
  PlaylistManager& manager = Manager();
  GuideDialog dialog(nullptr, manager, ChannelsWithGuide(manager), {});
  dialog.resize(1280, 720);
  dialog.show();
  bool back = false;
  for (auto _ : state) {
    // Ahead and back again, so every step stays inside the guide.
    QKeyEvent press(QEvent::KeyPress, back ? (key == Qt::Key_PageDown ? Qt::Key_PageUp : Qt::Key_Left) : key, modifiers);
    QApplication::sendEvent(dialog.grid(), &press);
    dialog.grid()->repaint();
    back = !back;
  }
}

void BM_ScrollChannels(benchmark::State& state) { Step(state, Qt::Key_PageDown, Qt::ControlModifier); }
void BM_ScrollTime(benchmark::State& state) { Step(state, Qt::Key_Right, Qt::NoModifier); }

BENCHMARK(BM_OpenGuideGrid)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);
BENCHMARK(BM_ScrollChannels)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);
BENCHMARK(BM_ScrollTime)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(50);

}  // namespace
}  // namespace vidora
