#include "ui/providers/films_page.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/catalogue/channel_catalogue.h"
#include "core/document/text_codec.h"
#include "core/providers/credential_store.h"
#include "core/providers/xtream_client.h"
#include "ui/providers/film_list_model.h"
#include "ui/providers/provider_texts.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr int kEpisodeIdRole = Qt::UserRole;
constexpr int kEpisodeExtensionRole = Qt::UserRole + 1;

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

FilmsPage::FilmsPage(QWidget* owner, Options options)
    : QDialog(owner), options_(std::move(options)), posters_(options_.posters) {
  setWindowTitle(Text("menu_films"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(960, 600);
  const QString keys = Text("films_keys");
  accounts_ = new QComboBox(this);
  for (const XtreamAccount& account : options_.accounts) {
    accounts_->addItem(FromUtf8(account.user + " @ " + MaskCredentials(account.server)));
  }
  accounts_->setAccessibleName(Text("films_account"));
  accounts_->setVisible(options_.accounts.size() > 1);
  kind_ = new QComboBox(this);
  kind_->addItem(Text("films_films"));
  kind_->addItem(Text("films_series"));
  kind_->setAccessibleName(Text("films_kind"));
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(Text("radio_search"));
  search_->setAccessibleName(Text("radio_search"));
  search_->setToolTip(keys);
  categories_ = new QListWidget(this);
  categories_->setAccessibleName(Text("films_categories"));
  categories_->setMaximumWidth(220);
  model_ = new FilmListModel(posters_, this);
  titles_ = new QListView(this);
  titles_->setModel(model_);
  // A list rather than a grid: whole titles stay readable beside their
  // posters.
  titles_->setViewMode(QListView::ListMode);
  titles_->setUniformItemSizes(true);
  // 100,000 films are laid out a batch at a time, so the page opens at once.
  titles_->setLayoutMode(QListView::Batched);
  titles_->setBatchSize(500);
  titles_->setIconSize(FilmListModel::kPosterSize);
  titles_->setSpacing(2);
  titles_->setAccessibleName(Text("films_titles"));
  titles_->setAccessibleDescription(keys);
  titles_->setToolTip(keys);
  plot_ = new QLabel(this);
  plot_->setWordWrap(true);
  plot_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  plot_->setAccessibleName(Text("films_plot"));
  plot_->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
  episodes_ = new QTreeWidget(this);
  episodes_->setHeaderHidden(true);
  episodes_->setAccessibleName(Text("films_episodes"));
  episodes_->setAccessibleDescription(keys);
  episodes_->setToolTip(keys);
  episodes_->hide();
  status_ = new QLabel(this);
  status_->setWordWrap(true);

  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(accounts_);
  top->addWidget(kind_);
  top->addWidget(search_, 1);
  layout->addLayout(top);
  auto* middle = new QHBoxLayout;
  middle->addWidget(categories_);
  middle->addWidget(titles_, 2);
  auto* side = new QVBoxLayout;
  side->addWidget(plot_, 1);
  side->addWidget(episodes_, 2);
  middle->addLayout(side, 1);
  layout->addLayout(middle, 1);
  layout->addWidget(status_);
  setTabOrder(accounts_, kind_);
  setTabOrder(kind_, search_);
  setTabOrder(search_, categories_);
  setTabOrder(categories_, titles_);
  setTabOrder(titles_, episodes_);

  connect(accounts_, &QComboBox::currentIndexChanged, this, [this] { LoadAccount(); });
  connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
    FillCategories();
    Refilter();
  });
  connect(search_, &QLineEdit::textEdited, this, [this] { Refilter(); });
  connect(categories_, &QListWidget::currentRowChanged, this, [this] { Refilter(); });
  connect(titles_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { OnTitleSelected(); });
  connect(titles_, &QListView::activated, this, [this] { PlaySelected(); });
  connect(episodes_, &QTreeWidget::itemActivated, this, [this] { PlaySelected(); });
  LoadAccount();
}

FilmsPage::~FilmsPage() = default;

const XtreamAccount* FilmsPage::Account() const {
  const int at = accounts_->currentIndex();
  return at < 0 || static_cast<size_t>(at) >= options_.accounts.size() ? nullptr : &options_.accounts[static_cast<size_t>(at)];
}

void FilmsPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Enter plays and never closes the page; in the lists the row's
    // activation plays it.
    if (focusWidget() != titles_ && focusWidget() != episodes_) PlaySelected();
    return;
  }
  QDialog::keyPressEvent(event);
}

void FilmsPage::LoadAccount() {
  model_->SetLibrary(nullptr);
  library_.reset();
  categories_->clear();
  episodes_->clear();
  plot_->clear();
  const XtreamAccount* account = Account();
  if (account == nullptr) {
    status_->setText(Text("films_no_account"));
    return;
  }
  status_->setText(Text("films_loading"));
  const uint64_t request = ++request_;
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, account = *account, request, cancel]() -> std::function<void()> {
    // The secret service answers over D-Bus: off the UI thread.
    const std::optional<std::string> password = Credentials().Find(account);
    auto library = std::make_shared<XtreamLibrary>();
    if (!password) library->failure = XtreamFailure::kNoPassword;
    else *library = FetchXtreamLibrary(account, *password, cancel);
    return [this, library = std::shared_ptr<const XtreamLibrary>(std::move(library)), request] {
      if (request == request_) ShowLibrary(library, library->failure);
    };
  });
}

void FilmsPage::ShowLibrary(std::shared_ptr<const XtreamLibrary> library, XtreamFailure failure) {
  const bool nothing = library->films.films.empty() && library->series.series.empty();
  if (failure != XtreamFailure::kNone && nothing) {
    status_->setText(XtreamFailureText(failure));
    return;
  }
  library_ = std::move(library);
  model_->SetLibrary(library_);
  // A provider without films may still have series.
  if (library_->films.films.empty() && !library_->series.series.empty()) kind_->setCurrentIndex(1);
  status_->setText(Text("films_count").arg(library_->films.films.size()).arg(library_->series.series.size()));
  FillCategories();
  Refilter();
}

void FilmsPage::FillCategories() {
  const QSignalBlocker quiet(categories_);
  categories_->clear();
  category_ids_.assign(1, std::string());
  categories_->addItem(Text("films_all"));
  if (library_) {
    const XtreamCategories& categories =
        kind_->currentIndex() == 1 ? library_->series_categories : library_->film_categories;
    for (const auto& [id, name] : categories.names) {
      category_ids_.push_back(id);
      categories_->addItem(FromUtf8(name));
    }
  }
  categories_->setCurrentRow(0);
}

void FilmsPage::Refilter() {
  const int row = categories_->currentRow();
  const std::string category = row > 0 && static_cast<size_t>(row) < category_ids_.size() ? category_ids_[static_cast<size_t>(row)]
                                                                                          : std::string();
  model_->Show(kind_->currentIndex() == 1 ? FilmListModel::Kind::kSeries : FilmListModel::Kind::kFilms, category,
               search_->text());
  episodes_->clear();
  episodes_->setVisible(kind_->currentIndex() == 1);
  plot_->clear();
}

void FilmsPage::OnTitleSelected() {
  const int row = titles_->currentIndex().row();
  episodes_->clear();
  const XtreamAccount* account = Account();
  if (account == nullptr) return;
  const uint64_t request = ++detail_request_;
  const std::atomic<bool>* cancel = jobs_.cancel();
  if (const XtreamSeries* series = model_->SeriesAt(row)) {
    plot_->setText(FromUtf8(series->plot));
    status_->setText(Text("films_loading"));
    jobs_.Run([this, account = *account, id = series->id, request, cancel]() -> std::function<void()> {
      const std::optional<std::string> password = Credentials().Find(account);
      auto info = std::make_shared<XtreamSeriesInfo>();
      if (!password) info->failure = XtreamFailure::kNoPassword;
      else *info = FetchXtreamSeriesInfo(account, *password, id, cancel);
      return [this, info, request] {
        if (request == detail_request_) ShowEpisodes(*info);
      };
    });
  } else if (const XtreamFilm* film = model_->FilmAt(row)) {
    plot_->clear();
    jobs_.Run([this, account = *account, id = film->id, request, cancel]() -> std::function<void()> {
      const std::optional<std::string> password = Credentials().Find(account);
      std::string plot = password ? FetchXtreamFilmPlot(account, *password, id, cancel) : std::string();
      return [this, plot = std::move(plot), request] {
        if (request == detail_request_) plot_->setText(FromUtf8(plot));
      };
    });
  }
}

void FilmsPage::ShowEpisodes(const XtreamSeriesInfo& info) {
  episodes_->clear();
  if (info.failure != XtreamFailure::kNone) {
    status_->setText(XtreamFailureText(info.failure));
    return;
  }
  status_->setText(Text("films_count").arg(library_ ? library_->films.films.size() : 0)
                       .arg(library_ ? library_->series.series.size() : 0));
  if (!info.plot.empty()) plot_->setText(FromUtf8(info.plot));
  QTreeWidgetItem* season = nullptr;
  int season_number = -1;
  for (const XtreamEpisode& episode : info.episodes) {
    if (season == nullptr || episode.season != season_number) {
      season_number = episode.season;
      season = new QTreeWidgetItem(episodes_, {Text("films_season").arg(episode.season)});
    }
    const QString title = episode.title.empty() ? Text("films_episode").arg(episode.number) : FromUtf8(episode.title);
    auto* item = new QTreeWidgetItem(season, {title});
    item->setData(0, kEpisodeIdRole, static_cast<qlonglong>(episode.id));
    item->setData(0, kEpisodeExtensionRole, QString::fromStdString(episode.extension));
    if (!episode.plot.empty()) item->setToolTip(0, FromUtf8(episode.plot));
  }
  if (episodes_->topLevelItemCount() > 0) episodes_->topLevelItem(0)->setExpanded(true);
}

void FilmsPage::PlaySelected() {
  const XtreamAccount* account = Account();
  if (account == nullptr) return;
  if (focusWidget() == episodes_ || (model_->kind() == FilmListModel::Kind::kSeries && episodes_->currentItem() != nullptr &&
                                     focusWidget() != titles_)) {
    const QTreeWidgetItem* item = episodes_->currentItem();
    if (item == nullptr || item->parent() == nullptr) return;
    XtreamMediaRef media{*account, true, item->data(0, kEpisodeIdRole).toLongLong(),
                         item->data(0, kEpisodeExtensionRole).toString().toStdString()};
    Play(media, item->text(0));
    return;
  }
  const int row = titles_->currentIndex().row();
  if (const XtreamFilm* film = model_->FilmAt(row)) {
    Play({*account, false, film->id, film->extension}, FromUtf8(film->name));
  } else if (model_->SeriesAt(row) != nullptr && episodes_->topLevelItemCount() > 0) {
    // A series plays episode by episode: Enter takes the user there.
    episodes_->setFocus();
    QTreeWidgetItem* first = episodes_->topLevelItem(0);
    episodes_->setCurrentItem(first->childCount() > 0 ? first->child(0) : first);
  }
}

void FilmsPage::Play(const XtreamMediaRef& media, const QString& title) {
  if (!options_.play || Catalogue() == nullptr) return;
  options_.play(Catalogue()->MakeAddressChannel(Utf8ToUtf16(XtreamMediaAddress(media)), title.toStdU16String(),
                                                kXtreamProviderName));
}

}  // namespace vidora
