// Opening the "Films & series" page on a provider's 100,000 films (the
// answer already read): the page is built, shows the films and paints its
// first screen. BM_OpenPlainList is the baseline: a bare list view laid
// out the same way over the same 100,000 names.
#include <QApplication>
#include <QListView>
#include <QStringListModel>

#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "core/stores/message_sink.h"
#include "support/temp_dir.h"
#include "ui/providers/film_list_model.h"
#include "ui/providers/films_page.h"

namespace vidora {
namespace {

constexpr int kFilms = 100000;

std::shared_ptr<const XtreamLibrary> Library() {
  static const std::shared_ptr<const XtreamLibrary> library = [] {
    auto made = std::make_shared<XtreamLibrary>();
    for (int i = 0; i < 60; ++i) made->film_categories.names.emplace(std::to_string(i), "Genre " + std::to_string(i));
    made->films.films.reserve(kFilms);
    for (int i = 0; i < kFilms; ++i) {
      XtreamFilm film;
      film.id = 100000 + i;
      film.name = "A Film Called " + std::to_string(film.id) + " (2019)";
      film.category_id = std::to_string(i % 60);
      film.extension = "mkv";
      made->films.films.push_back(std::move(film));
    }
    return made;
  }();
  return library;
}

void Settle() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void BM_OpenPlainList(benchmark::State& state) {
  QStringList names;
  for (const XtreamFilm& film : Library()->films.films) names.append(QString::fromStdString(film.name));
  for (auto _ : state) {
    QStringListModel model(names);
    QListView view;
    view.setUniformItemSizes(true);
    view.setLayoutMode(QListView::Batched);
    view.setBatchSize(500);
    view.setModel(&model);
    view.resize(960, 600);
    view.show();
    Settle();
  }
}

void BM_OpenFilmsPage(benchmark::State& state) {
  SetMessageSink([](const std::u16string&, const std::u16string&) {});
  testing::TempDir posters;
  for (auto _ : state) {
    FilmsPage page(nullptr, FilmsPage::Options{{}, posters.path(), {}});
    page.ShowLibrary(Library());
    page.show();
    Settle();
    if (page.model().rowCount() != kFilms) state.SkipWithError("wrong film count");
  }
}

BENCHMARK(BM_OpenPlainList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(BM_OpenFilmsPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

}  // namespace
}  // namespace vidora
