#include "ui/radio/radio_directory_page.h"

#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/catalogue/country.h"
#include "core/document/text_codec.h"
#include "core/playlists/playlist_document.h"
#include "core/radio/radio_playlist.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

// The list combo's rows, in order.
struct ListChoice {
  const char* text;
  RadioList list;
  RadioSearchField field;
};
constexpr ListChoice kChoices[] = {
    {"radio_most_voted", RadioList::kMostVoted, RadioSearchField::kName},
    {"radio_most_clicked", RadioList::kMostClicked, RadioSearchField::kName},
    {"radio_by_name", RadioList::kSearch, RadioSearchField::kName},
    {"radio_by_country", RadioList::kSearch, RadioSearchField::kCountry},
    {"radio_by_language", RadioList::kSearch, RadioSearchField::kLanguage},
    {"radio_by_tag", RadioList::kSearch, RadioSearchField::kTag},
};

QString FromUtf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

}  // namespace

RadioDirectoryPage::RadioDirectoryPage(QWidget* owner, Options options)
    : QDialog(owner), options_(std::move(options)), icons_(options_.favicons) {
  setWindowTitle(Text("menu_radio_directory"));
  setAttribute(Qt::WA_DeleteOnClose);
  resize(720, 520);
  list_ = new QComboBox(this);
  for (const ListChoice& choice : kChoices) list_->addItem(Text(choice.text));
  list_->setAccessibleName(Text("radio_list"));
  search_ = new QLineEdit(this);
  search_->setPlaceholderText(Text("radio_search"));
  search_->setAccessibleName(Text("radio_search"));
  search_->setToolTip(Text("radio_keys"));
  stations_ = new QTreeWidget(this);
  stations_->setColumnCount(4);
  stations_->setHeaderLabels({Text("radio_station"), Text("radio_country"), Text("radio_codec"), Text("radio_bitrate")});
  stations_->setRootIsDecorated(false);
  stations_->setAccessibleName(Text("menu_radio_directory"));
  stations_->setAccessibleDescription(Text("radio_keys"));
  stations_->setToolTip(Text("radio_keys"));
  stations_->setContextMenuPolicy(Qt::CustomContextMenu);
  stations_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  status_ = new QLabel(this);
  status_->setWordWrap(true);
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  top->addWidget(list_);
  top->addWidget(search_, 1);
  layout->addLayout(top);
  layout->addWidget(stations_, 1);
  layout->addWidget(status_);
  setTabOrder(list_, search_);
  setTabOrder(search_, stations_);

  typing_.setSingleShot(true);
  typing_.setInterval(400);
  connect(&typing_, &QTimer::timeout, this, &RadioDirectoryPage::Ask);
  connect(search_, &QLineEdit::textEdited, this, [this] {
    if (kChoices[list_->currentIndex()].list != RadioList::kSearch) list_->setCurrentIndex(2);
    typing_.start();
  });
  connect(list_, &QComboBox::currentIndexChanged, this, [this] { Ask(); });
  connect(stations_, &QTreeWidget::itemActivated, this, [this] { PlaySelected(); });
  connect(stations_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    if (Selected() == nullptr) return;
    QMenu menu(this);
    connect(menu.addAction(Text("menu_play")), &QAction::triggered, this, &RadioDirectoryPage::PlaySelected);
    connect(menu.addAction(Text("menu_add_favorites")), &QAction::triggered, this,
            &RadioDirectoryPage::AddSelectedToFavourites);
    menu.exec(stations_->viewport()->mapToGlobal(at));
  });
  connect(&icons_, &LogoCache::LogoReady, this, &RadioDirectoryPage::UpdateIcons);
  if (PlaylistManager* manager = PlaylistManager::Current()) {
    connect(manager, &PlaylistManager::PlaylistsChanged, this, &RadioDirectoryPage::FinishKeeping);
  }
  Ask();
}

void RadioDirectoryPage::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Insert) {
    AddSelectedToFavourites();
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // In the list Enter activates the row (which plays it); elsewhere it
    // plays the selected station and never closes the page.
    if (focusWidget() != stations_ && Selected() != nullptr) PlaySelected();
    return;
  }
  QDialog::keyPressEvent(event);
}

void RadioDirectoryPage::Ask() {
  const ListChoice& choice = kChoices[std::max(0, list_->currentIndex())];
  RadioQuery query;
  query.list = choice.list;
  query.field = choice.field;
  query.text = search_->text().trimmed().toStdString();
  if (query.list == RadioList::kSearch && query.text.empty()) return;
  status_->setText(Text("radio_asking"));
  const uint64_t request = ++request_;
  const std::vector<std::string> mirrors = mirrors_;
  const bool known = mirrors_known_;
  const std::string server = options_.server;
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, query, mirrors, known, server, request, cancel]() -> std::function<void()> {
    RadioDirectoryClient client(known ? mirrors : RadioMirrors(server));
    RadioStations stations = client.Fetch(query, cancel);
    // The mirror that answered goes first for the next request.
    std::vector<std::string> order = client.mirrors();
    return [this, request, stations = std::move(stations), order = std::move(order)]() mutable {
      mirrors_ = std::move(order);
      mirrors_known_ = !mirrors_.empty();
      if (request == request_) Show(std::move(stations));
    };
  });
}

void RadioDirectoryPage::Show(RadioStations stations) {
  if (stations.failure != RadioFailure::kNone) {
    status_->setText(Text("radio_offline"));
    status_->setToolTip(FromUtf8(mirrors_.empty() ? std::string("no mirror") : mirrors_.front()));
    return;
  }
  shown_ = std::move(stations.stations);
  stations_->clear();
  for (size_t i = 0; i < shown_.size(); ++i) {
    const RadioStation& station = shown_[i];
    auto* row = new QTreeWidgetItem(stations_);
    row->setText(0, FromUtf8(station.name));
    row->setText(1, FromUtf8(station.country));
    row->setText(2, FromUtf8(station.codec));
    row->setText(3, station.bitrate > 0 ? QString::number(station.bitrate) : QString());
    row->setToolTip(0, FromUtf8(station.tags));
    row->setData(0, Qt::UserRole, static_cast<qulonglong>(i));
  }
  if (stations_->topLevelItemCount() > 0) stations_->setCurrentItem(stations_->topLevelItem(0));
  status_->setText(shown_.empty() ? Text("radio_nothing") : QString());
  status_->setToolTip({});
  UpdateIcons();
}

void RadioDirectoryPage::UpdateIcons() {
  for (int i = 0; i < stations_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* row = stations_->topLevelItem(i);
    const RadioStation& station = shown_[row->data(0, Qt::UserRole).toULongLong()];
    if (station.favicon.empty() || !row->icon(0).isNull()) continue;
    if (const QImage* icon = icons_.Find(Utf8ToUtf16(station.favicon))) row->setIcon(0, QPixmap::fromImage(*icon));
  }
}

const RadioStation* RadioDirectoryPage::Selected() const {
  QTreeWidgetItem* row = stations_->currentItem();
  if (row == nullptr) return nullptr;
  const size_t index = row->data(0, Qt::UserRole).toULongLong();
  return index < shown_.size() ? &shown_[index] : nullptr;
}

void RadioDirectoryPage::PlaySelected() {
  if (const RadioStation* station = Selected()) Keep(*station, true);
}

void RadioDirectoryPage::AddSelectedToFavourites() {
  if (const RadioStation* station = Selected()) Keep(*station, false);
}

void RadioDirectoryPage::Keep(const RadioStation& station, bool play) {
  pending_.push_back({RadioEntry(station).address, play});
  const std::filesystem::path file = options_.stations_file;
  const std::vector<std::string> mirrors = mirrors_;
  const std::atomic<bool>* cancel = jobs_.cancel();
  jobs_.Run([this, station, file, play, mirrors, cancel]() -> std::function<void()> {
    const bool saved = AddRadioStation(file, station);
    if (play) RadioDirectoryClient(mirrors).CountClick(station.uuid, cancel);
    return [this, saved, file] {
      PlaylistManager* manager = PlaylistManager::Current();
      if (!saved || manager == nullptr) {
        status_->setText(Text("radio_not_kept"));
        status_->setToolTip(QString::fromStdString(file.string()));
        pending_.clear();
        return;
      }
      manager->AddPlaylistSource(QString::fromStdString(file.string()));
    };
  });
}

void RadioDirectoryPage::FinishKeeping() {
  ChannelCatalogue* catalogue = Catalogue();
  if (catalogue == nullptr || pending_.empty()) return;
  const std::string country = PlaylistKey(Utf8ToUtf16(options_.stations_file.string()));
  std::vector<Pending> left;
  for (const Pending& pending : pending_) {
    Channel* found = nullptr;
    const auto it = catalogue->countries().find(country);
    if (it != catalogue->countries().end()) {
      for (const auto [name, channel] : it->second->channels()) {
        for (const StreamSource& source : channel->sources()) {
          if (source.address == pending.address) found = channel;
        }
      }
    }
    if (found == nullptr) {
      left.push_back(pending);
      continue;
    }
    if (pending.play) {
      if (options_.play) options_.play(found);
    } else {
      found->set_favourite(true);
      status_->setText(Text("radio_kept").arg(ToQString(found->name())));
    }
  }
  pending_ = std::move(left);
}

}  // namespace vidora
