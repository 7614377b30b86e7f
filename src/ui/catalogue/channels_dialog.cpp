#include "ui/catalogue/channels_dialog.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>
#include <QSignalBlocker>
#include <QElapsedTimer>

#include <algorithm>
#include <utility>

#include "ui/catalogue/channels_dialog_state.h"
#include "core/history/recent_channels.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_sort.h"
#include "core/health/health_settings.h"
#include "core/stores/settings_store.h"
#include "core/zapping/zap_list.h"
#include "ui/accessibility/painted_tab_strip.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_health_view.h"
#include "ui/catalogue/channel_list_model.h"
#include "ui/catalogue/channel_list_view.h"
#include "ui/catalogue/combo_text_order.h"
#include "ui/dialogs/control_frame.h"
#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/dialogs/system_sound.h"
#include "ui/catalogue/playlist_order.h"
#include "ui/guide/guide_channel_chooser.h"
#include "ui/guide/guide_entry.h"
#include "ui/guide/guide_page.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

// How long one turn of making what a list needs may hold the UI thread,
// and the work done between two looks at the clock.
constexpr qint64 kPreparationSliceNs = 25'000'000;
constexpr size_t kPreparationChunk = 4096;
// The work of one turn when set (tests), else kPreparationSliceNs.
size_t preparation_slice_work = 0;

// The playlist `country` is (it has rows of its own), or nullptr.
const Country* PlaylistOf(const Country* country, const ChannelCatalogue* catalogue) {
  return PlaylistManager::Current() != nullptr && country != nullptr && catalogue != nullptr &&
                 IsPlaylistKey(country->key())
             ? country
             : nullptr;
}

}  // namespace

namespace {

constexpr QRgb kShownTabRgb = qRgb(250, 250, 255);
constexpr QRgb kOtherTabRgb = qRgb(150, 150, 155);
constexpr int kTabCount = 3;

// Fills `combo` like a sorted drop-down list: the entries ordered by their
// text (see ComboTextOrder; equal texts keep their order), then the "all" entry
// inserted in front. `entries` receives what each position stands for.
template <typename T>
void FillSortedCombo(QComboBox* combo, std::vector<std::pair<QString, const T*>> items, const QString& all,
                     std::vector<const T*>& entries) {
  const ComboTextOrder order;
  std::stable_sort(items.begin(), items.end(), [&order](const auto& a, const auto& b) { return order(a.first, b.first); });
  combo->clear();
  entries.clear();
  combo->addItem(all);
  entries.push_back(nullptr);
  for (const auto& [text, item] : items) {
    combo->addItem(text);
    entries.push_back(item);
  }
}

// The key `entries[index]` stands for; empty for the "all" entry.
template <typename T>
std::string KeyAt(const std::vector<const T*>& entries, int index) {
  return index >= 0 && index < static_cast<int>(entries.size()) && entries[index] != nullptr ? entries[index]->key()
                                                                                               : std::string();
}

template <typename T>
std::vector<std::string> KeysOf(const std::vector<const T*>& entries) {
  std::vector<std::string> keys;
  keys.reserve(entries.size());
  for (int i = 0; i < static_cast<int>(entries.size()); ++i) keys.push_back(KeyAt(entries, i));
  return keys;
}

}  // namespace

ChannelsDialog::ChannelsDialog(QWidget* owner, ChannelCatalogue* catalogue)
    : SkinnedDialog(owner, Size::kFullScreen),
      catalogue_(catalogue),
      channel_list_(new ChannelListView(this)),
      favourites_list_(new ChannelListView(this)),
      recent_list_(new ChannelListView(this)),
      country_combo_(new QComboBox(this)),
      category_combo_(new QComboBox(this)),
      kind_combo_(new QComboBox(this)),
      group_combo_(new QComboBox(this)),
      sort_combo_(new QComboBox(this)),
      search_field_(new QLineEdit(this)),
      scope_combo_(new QComboBox(this)),
      guide_page_(new GuidePage(this)),
      tab_strip_(new PaintedTabStrip(this)) {
  setWindowTitle(QStringLiteral("Channels"));
  country_combo_->setObjectName(QStringLiteral("country"));
  category_combo_->setObjectName(QStringLiteral("category"));
  kind_combo_->setObjectName(QStringLiteral("kind"));
  channel_list_->setObjectName(QStringLiteral("channels"));
  favourites_list_->setObjectName(QStringLiteral("favourites"));
  recent_list_->setObjectName(QStringLiteral("recent"));
  favourites_list_->hide();
  recent_list_->hide();
  guide_page_->hide();
  for (QComboBox* combo : {country_combo_, category_combo_, kind_combo_, group_combo_, sort_combo_}) combo->hide();

  play_requested_ = false;
  chosen_channel_ = nullptr;
  fill_timer_.setSingleShot(true);
  fill_timer_.setInterval(0);
  connect(&fill_timer_, &QTimer::timeout, this, &ChannelsDialog::FillChannelListWhenPrepared);
  LoadDialogSelection();
  ChannelsDialogState& selection = DialogSelection();
  FillCategoryCombo();
  selection.category = ListPositionFor(selection.category_key, selection.category, KeysOf(category_entries_));
  category_combo_->setCurrentIndex(selection.category);
  FillCountryCombo();
  selection.country = ListPositionFor(selection.country_key, selection.country, KeysOf(country_entries_));
  country_combo_->setCurrentIndex(selection.country);
  FillKindCombo();
  FillSortCombo();
  FillScopeCombo();
  SetUpSearchField();
  // A stored kind outside the list leaves it without a selection, which
  // filters nothing.
  kind_combo_->setCurrentIndex(selection.tvradio >= 0 && selection.tvradio < 3 ? selection.tvradio : -1);
  PlaceCombos();

  FillChannelList();
  FillFavouritesList();
  FillRecentList();

  SoftKeyBar* keys = SoftKeys();
  keys->SetLeftKey(Text("menu_play"), ID_PLAY);
  keys->SetRightMenu(Text("menu_menu"), &right_menu_);

  if (selection.channel_row >= 0) SelectChannelRowWhenListed(selection.channel_row);
  if (selection.favourite_row >= 0) favourites_list_->SelectRow(selection.favourite_row);

  for (ChannelListView* list : {channel_list_, favourites_list_, recent_list_}) {
    connect(list, &ChannelListView::CommandTriggered, this, &SkinnedDialog::RunCommand);
    connect(list, &ChannelListView::SelectionChanged, this, &ChannelsDialog::RebuildRightMenu);
    connect(list, &ChannelListView::SearchChanged, this, &ChannelsDialog::UpdateTabLabels);
  }
  if (PlaylistManager* playlists = PlaylistManager::Current()) {
    // Logos arrive while the dialog is open.
    connect(playlists, &PlaylistManager::DecorationsChanged, this, [this, playlists] {
      channel_list_->viewport()->update();
      favourites_list_->viewport()->update();
      recent_list_->viewport()->update();
      // A new guide or a new minute: the running programme may change.
      if (guide_shown_) guide_page_->Refresh(*playlists);
    });
  }
  connect(tab_strip_, &PaintedTabStrip::TabChosen, this, &ChannelsDialog::ShowTab);
  connect(guide_page_, &GuidePage::BackRequested, this, &ChannelsDialog::HideGuide);
  connect(guide_page_, &GuidePage::PlayRequested, this, &ChannelsDialog::Play);
  connect(country_combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    DialogSelection().country = index;
    DialogSelection().country_key = KeyAt(country_entries_, index);
    FillChannelList();
  });
  connect(category_combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    DialogSelection().category = index;
    DialogSelection().category_key = KeyAt(category_entries_, index);
    FillChannelList();
  });
  connect(kind_combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    DialogSelection().tvradio = index;
    FillChannelList();
  });
  connect(group_combo_, &QComboBox::currentIndexChanged, this, [this] { FillChannelList(); });
  connect(sort_combo_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (playlist_chosen_ && index >= 0) StorePlaylistSort(sorted_country_->key(), static_cast<PlaylistSort>(index));
    FillChannelList();
  });
  connect(scope_combo_, &QComboBox::currentIndexChanged, this, [this] { FillChannelList(); });
  // The field and typing on the list are two ways to one search text.
  connect(search_field_, &QLineEdit::textEdited, this, [this](const QString& text) { channel_list_->SetSearchText(text); });
  connect(channel_list_, &ChannelListView::SearchChanged, this, [this] {
    if (search_field_->text() != channel_list_->SearchText()) search_field_->setText(channel_list_->SearchText());
  });

  // Keys: Tab walks the filters in the order they read, then the list;
  // Ctrl+Tab and Ctrl+Page Down turn the painted tabs on, round from the
  // last to the first; Ctrl+Shift+Tab and Ctrl+Page Up turn them back.
  setTabOrder(country_combo_, kind_combo_);
  setTabOrder(kind_combo_, sort_combo_);
  setTabOrder(sort_combo_, category_combo_);
  setTabOrder(category_combo_, group_combo_);
  setTabOrder(group_combo_, search_field_);
  setTabOrder(search_field_, scope_combo_);
  setTabOrder(scope_combo_, channel_list_);
  connect(new QShortcut(QKeySequence(kCheckListKey), this), &QShortcut::activated, this, [this] {
    if (ShownTab() == kChannelsTab && !guide_shown_) RunCommand(ID_CHECK_LIST);
  });
  // Ctrl+F goes to the search field from anywhere in the dialog.
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_F), this), &QShortcut::activated, this, [this] {
    if (ShownTab() != kChannelsTab || guide_shown_) ShowTab(kChannelsTab);
    search_field_->setFocus(Qt::ShortcutFocusReason);
    search_field_->selectAll();
  });
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown)}) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { RunCommand(ID_NEXT_TAB); });
  }
  for (const QKeySequence& keys : {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
    connect(new QShortcut(keys, this), &QShortcut::activated, this, [this] { RunCommand(ID_PREVIOUS_TAB); });
  }
  country_combo_->setAccessibleName(Text("acc_country"));
  category_combo_->setAccessibleName(Text("acc_category"));
  kind_combo_->setAccessibleName(Text("acc_kind"));
  group_combo_->setAccessibleName(Text("acc_group"));
  sort_combo_->setAccessibleName(Text("acc_sort"));
  for (QComboBox* combo : {country_combo_, category_combo_, kind_combo_, group_combo_, sort_combo_}) {
    combo->setAccessibleDescription(Text("acc_filter_desc"));
  }
  favourites_list_->setAccessibleName(Text("tab_favorites"));
  recent_list_->setAccessibleName(Text("tab_recent"));
  for (ChannelListView* list : {channel_list_, favourites_list_, recent_list_}) {
    list->setAccessibleDescription(Text("acc_channel_list_desc"));
  }

  ShowTab(selection.tab);
}

ChannelsDialog::~ChannelsDialog() {
  // The children outlive this object's members; nothing they report on
  // their way out may reach it.
  for (QObject* child : {static_cast<QObject*>(channel_list_), static_cast<QObject*>(favourites_list_),
                         static_cast<QObject*>(recent_list_),
                         static_cast<QObject*>(country_combo_), static_cast<QObject*>(category_combo_),
                         static_cast<QObject*>(kind_combo_), static_cast<QObject*>(group_combo_),
                         static_cast<QObject*>(guide_page_)}) {
    child->disconnect(this);
  }
  if (SoftKeyBar* keys = SoftKeys()) keys->Clear();
  if (!selection_written_) WriteSelection();
  // Rows and names half made are kept for the next opening; a sort's keys
  // are too large to keep waiting.
  DropUnfinishedSorts();
}

const Category* ChannelsDialog::HiddenCategory() const {
  if (catalogue_ == nullptr || !GetSetting(kHideAdultSetting)) return nullptr;
  return catalogue_->FindCategory(kHiddenCategoryKey);
}

void ChannelsDialog::FillCategoryCombo() {
  ApplyTitleFont(category_combo_);
  std::vector<std::pair<QString, const Category*>> items;
  const Category* hidden = HiddenCategory();
  if (catalogue_ != nullptr) {
    for (const auto& [key, category] : catalogue_->categories()) {
      if (category.get() != hidden) items.emplace_back(ToQString(category->display_name()), category.get());
    }
  }
  FillSortedCombo(category_combo_, std::move(items), Text("str_all_channels"), category_entries_);
}

void ChannelsDialog::FillCountryCombo() {
  ApplyTitleFont(country_combo_);
  std::vector<std::pair<QString, const Country*>> items;
  if (catalogue_ != nullptr) {
    for (const auto& [key, country] : catalogue_->countries()) {
      items.emplace_back(ToQString(country->display_name()), country.get());
    }
  }
  FillSortedCombo(country_combo_, std::move(items), Text("str_all_countries"), country_entries_);
}

void ChannelsDialog::FillKindCombo() {
  ApplyTitleFont(kind_combo_);
  kind_combo_->addItem(Text("str_tvradio"));
  kind_combo_->addItem(Text("str_tv"));
  kind_combo_->addItem(Text("str_radio"));
}

void ChannelsDialog::FillSortCombo() {
  ApplyTitleFont(sort_combo_);
  // In PlaylistSort's order: an entry's position is the stored value.
  sort_combo_->addItem(Text("str_sort_playlist"));
  sort_combo_->addItem(Text("str_sort_name"));
  sort_combo_->addItem(Text("str_sort_number"));
}

void ChannelsDialog::FillScopeCombo() {
  ApplyTitleFont(scope_combo_);
  scope_combo_->addItem(Text("str_search_this_list"));
  scope_combo_->addItem(Text("str_search_everything"));
  scope_combo_->setCurrentIndex(kSearchThisList);
  scope_combo_->setAccessibleName(Text("acc_search_scope"));
  scope_combo_->setAccessibleDescription(Text("acc_search_scope_desc"));
}

void ChannelsDialog::SetUpSearchField() {
  ApplyTitleFont(search_field_);
  search_field_->setPlaceholderText(Text("str_search_channels"));
  search_field_->setClearButtonEnabled(true);
  search_field_->setAccessibleName(Text("str_search_channels"));
  search_field_->setAccessibleDescription(Text("acc_search_desc"));
  search_field_->setToolTip(Text("tip_search_channels"));
  search_field_->installEventFilter(this);
  // The field shows the text; the list's own corner label would repeat it.
  channel_list_->SetSearchLabelShown(false);
}

bool ChannelsDialog::SearchingEverything() const { return scope_combo_->currentIndex() == kSearchEverything; }

bool ChannelsDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched != search_field_ || event->type() != QEvent::KeyPress) return SkinnedDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) return false;
  switch (key->key()) {
    case Qt::Key_Escape:
      // Clears first; with nothing typed Escape reaches the dialog and closes it.
      if (search_field_->text().isEmpty()) return false;
      search_field_->clear();
      channel_list_->SetSearchText(QString());
      return true;
    case Qt::Key_Down:
    case Qt::Key_PageDown:
      if (channel_list_->SelectedChannel() == nullptr) channel_list_->SelectShownRow(0);
      channel_list_->setFocus(Qt::TabFocusReason);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (channel_list_->SelectedChannel() == nullptr) channel_list_->SelectShownRow(0);
      if (channel_list_->SelectedChannel() != nullptr) RunCommand(ID_PLAY);
      return true;
    default:
      return false;
  }
}

void ChannelsDialog::PlaceCombos() {
  const int u = BarUnit();
  const int g = u / 8;
  // The field fits between the rows of the layout; the drop-down list
  // sizes itself.
  const int h = u - g;
  // Wide enough for the longest entry in any language (French "Toutes les
  // catégories"), as far as the dialog's width allows.
  const int room = std::max(width(), 10 * u);
  const int kind_width = std::max(18 * u / 5, kind_combo_->sizeHint().width());
  // A playlist's sort order follows on the first row, in the room the
  // country leaves (the country gives way down to 6 units).
  const int sort_room = playlist_chosen_ ? std::max(4 * u, sort_combo_->sizeHint().width()) + g : 0;
  const int country_width =
      std::max(6 * u, std::min(country_combo_->sizeHint().width(), room - kind_width - sort_room - 3 * g));
  const int category_width = std::max(6 * u, std::min(category_combo_->sizeHint().width(), room - 2 * g));
  country_combo_->setGeometry(g, u + g, country_width, h);
  kind_combo_->setGeometry(country_width + 2 * g, u + g, kind_width, h);
  const int sort_left = country_width + kind_width + 3 * g;
  sort_combo_->setGeometry(sort_left, u + g, std::max(4 * u, room - sort_left - g), h);
  category_combo_->setGeometry(g, 2 * u + g, category_width, h);
  // The playlist's groups beside the categories, in the room left.
  const int group_left = category_width + 2 * g;
  group_combo_->setGeometry(group_left, 2 * u + g, std::max(4 * u, room - group_left - g), h);
  // The search field takes the third row but for where it looks.
  const int scope_width = std::max(4 * u, scope_combo_->sizeHint().width());
  search_field_->setGeometry(g, 3 * u + g, std::max(4 * u, room - scope_width - 3 * g), h);
  scope_combo_->setGeometry(room - scope_width - g, 3 * u + g, scope_width, h);
}

void ChannelsDialog::ShowChannelControls(bool shown) {
  for (QWidget* control : {static_cast<QWidget*>(country_combo_), static_cast<QWidget*>(category_combo_),
                           static_cast<QWidget*>(kind_combo_), static_cast<QWidget*>(channel_list_),
                           static_cast<QWidget*>(search_field_), static_cast<QWidget*>(scope_combo_)}) {
    control->setVisible(shown);
  }
  group_combo_->setVisible(shown && group_combo_->count() > 0);
  sort_combo_->setVisible(shown && playlist_chosen_);
}

void ChannelsDialog::ChooseSort(const Country* country) {
  if (country == sorted_country_) return;
  sorted_country_ = country;
  playlist_chosen_ = PlaylistOf(country, catalogue_) != nullptr;
  if (playlist_chosen_) {
    const QSignalBlocker quiet_sort(sort_combo_);
    sort_combo_->setCurrentIndex(static_cast<int>(StoredPlaylistSort(country->key())));
  }
  sort_combo_->setVisible(playlist_chosen_ && ShownTab() == kChannelsTab && !guide_shown_);
  PlaceCombos();
}

void ChannelsDialog::FillGroupCombo(const PlaylistRows* rows) {
  if (rows == grouped_rows_) return;
  grouped_rows_ = rows;
  const QSignalBlocker quiet(group_combo_);
  group_combo_->clear();
  if (rows != nullptr && !rows->groups.empty()) {
    ApplyTitleFont(group_combo_);
    group_combo_->addItem(Text("str_all_groups"));
    for (const QString& group : rows->groups) group_combo_->addItem(group);
    group_combo_->setCurrentIndex(0);
  }
  group_combo_->setVisible(group_combo_->count() > 0 && ShownTab() == kChannelsTab && !guide_shown_);
  PlaceCombos();
}

void ChannelsDialog::LayoutClient(int width, int height) {
  PlaceCombos();
  const int u = BarUnit();
  const int g = u / 8;
  if (tab_strip_ != nullptr) tab_strip_->setGeometry(0, 0, QWidget::width(), u * 5 / 6);
  if (channel_list_ != nullptr) channel_list_->setGeometry(g, 4 * u + g, width - 2 * g, height - 4 * u - 2 * g);
  if (favourites_list_ != nullptr) favourites_list_->setGeometry(g, u + g, width - 2 * g, height - u - 2 * g);
  if (recent_list_ != nullptr) recent_list_->setGeometry(g, u + g, width - 2 * g, height - u - 2 * g);
  if (guide_page_ != nullptr) guide_page_->setGeometry(g, u + g, width - 2 * g, height - u - 2 * g);
}

void ChannelsDialog::SetPreparationSlice(size_t work) { preparation_slice_work = work; }

bool ChannelsDialog::Prepare(const Country* playlist, Prepared& prepared) {
  PlaylistManager* playlists = PlaylistManager::Current();
  const auto sort = static_cast<PlaylistSort>(std::max(0, sort_combo_->currentIndex()));
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    size_t budget = preparation_slice_work > 0 ? preparation_slice_work : kPreparationChunk;
    prepared = {};
    // The pieces in turn, each one only once those before it are made.
    prepared.names = FoldedNames::OfCatalogue(*catalogue_, budget);
    if (prepared.names != nullptr && playlist != nullptr) {
      prepared.rows = PreparedPlaylistRows(*catalogue_, playlist, *playlists, budget);
    }
    if (prepared.rows != nullptr) prepared.order = SortedRowsStep(*prepared.rows, sort, *playlists, budget);
    const bool made = prepared.names != nullptr && (playlist == nullptr || prepared.order != nullptr);
    // Made late in a slice: the fill, which walks every row, takes the
    // next turn, so that the two do not add up in one.
    if (made) return preparation_slice_work > 0 || clock.nsecsElapsed() < kPreparationSliceNs / 2;
    if (preparation_slice_work > 0 || clock.nsecsElapsed() >= kPreparationSliceNs) return false;
  }
}

void ChannelsDialog::FillChannelList() {
  // A refill the user caused lists no selection, as SetChannels leaves none.
  row_to_select_ = -1;
  FillChannelListWhenPrepared();
}

void ChannelsDialog::SelectChannelRowWhenListed(int row) {
  if (fill_pending_) {
    row_to_select_ = row;
  } else {
    channel_list_->SelectRow(row);
  }
}

void ChannelsDialog::FillChannelListWhenPrepared() {
  const int country_pos = country_combo_->currentIndex();
  const int category_pos = category_combo_->currentIndex();
  const Country* country = country_pos > 0 && country_pos < static_cast<int>(country_entries_.size())
                               ? country_entries_[country_pos]
                               : nullptr;
  const Category* category = category_pos > 0 && category_pos < static_cast<int>(category_entries_.size())
                                 ? category_entries_[category_pos]
                                 : nullptr;
  const bool everything = SearchingEverything();
  // Searching everything leaves the filters aside; they say so by being
  // greyed out.
  for (QComboBox* filter : {country_combo_, category_combo_, kind_combo_, group_combo_, sort_combo_}) {
    filter->setEnabled(!everything);
  }
  // A playlist lists its channels in its own order (or the one chosen for
  // it), its groups as a filter of their own.
  ChooseSort(country);
  const Country* playlist = PlaylistOf(country, catalogue_);
  Prepared prepared;
  if (catalogue_ != nullptr && !Prepare(playlist, prepared)) {
    // A huge list: what it needs is made a slice at a time between other
    // events; the list shows what it showed until then.
    if (playlist != grouped_country_) {
      FillGroupCombo(nullptr);
      grouped_country_ = nullptr;
    }
    fill_pending_ = true;
    channel_list_->SetWaiting(true);
    fill_timer_.start();
    return;
  }
  fill_pending_ = false;
  channel_list_->SetWaiting(false);
  grouped_country_ = playlist;
  FillGroupCombo(prepared.rows);
  const int kind = kind_combo_->currentIndex();
  const Category* hidden = HiddenCategory();
  const bool hide_unavailable = GetSetting(kHideUnavailableSetting);
  std::vector<Channel*> rows;
  std::vector<uint32_t> name_slots;
  auto keep = [&](Channel* channel) {
    if (category != nullptr && channel->category() != category) return false;
    if (hide_unavailable && HiddenAsUnavailable(*channel)) return false;
    if (kind == kKindTv && channel->radio()) return false;
    if (kind == kKindRadio && !channel->radio()) return false;
    // By reference: with nothing hidden, channels without a category
    // are left out as well.
    return channel->category() != hidden;
  };
  if (everything && catalogue_ != nullptr) {
    const std::vector<Channel*>& all = catalogue_->AllChannels();
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i]->category() == hidden) continue;
      rows.push_back(all[i]);
      name_slots.push_back(static_cast<uint32_t>(i));
    }
  } else if (const PlaylistRows* playlist_rows = prepared.rows) {
    const int group = group_combo_->count() > 0 ? group_combo_->currentIndex() - 1 : -1;
    const std::vector<uint32_t>& order = *prepared.order;
    for (size_t k = 0; k < playlist_rows->channels.size(); ++k) {
      const size_t i = order.empty() ? k : order[k];
      if (group >= 0 && playlist_rows->group_of[i] != group) continue;
      if (!keep(playlist_rows->channels[i])) continue;
      rows.push_back(playlist_rows->channels[i]);
      name_slots.push_back(playlist_rows->name_slots[i]);
    }
  } else if (catalogue_ != nullptr) {
    const std::vector<Channel*>& all = catalogue_->AllChannels();
    for (size_t i = 0; i < all.size(); ++i) {
      Channel* channel = all[i];
      if (country != nullptr && channel->country() != country) continue;
      if (!keep(channel)) continue;
      rows.push_back(channel);
      name_slots.push_back(static_cast<uint32_t>(i));
    }
  }
  if (catalogue_ != nullptr) {
    channel_list_->SetChannels(std::move(rows), std::move(prepared.names), std::move(name_slots));
  } else {
    channel_list_->SetChannels(std::move(rows));
  }
  if (row_to_select_ >= 0) channel_list_->SelectRow(std::exchange(row_to_select_, -1));
  UpdateTabLabels();
}

void ChannelsDialog::FillFavouritesList() {
  const Category* hidden = HiddenCategory();
  std::vector<Channel*> rows;
  std::vector<uint32_t> name_slots;
  if (catalogue_ != nullptr) {
    const std::vector<Channel*>& all = catalogue_->AllChannels();
    for (size_t i = 0; i < all.size(); ++i) {
      if (!all[i]->favourite() || all[i]->category() == hidden) continue;
      rows.push_back(all[i]);
      name_slots.push_back(static_cast<uint32_t>(i));
    }
  }
  // The catalogue's folded names when made already; else only these rows'
  // names are folded, which a search reads the same way.
  size_t no_work = 0;
  std::shared_ptr<const FoldedNames> names =
      catalogue_ != nullptr ? FoldedNames::OfCatalogue(*catalogue_, no_work) : nullptr;
  if (names != nullptr) {
    favourites_list_->SetChannels(std::move(rows), std::move(names), std::move(name_slots));
  } else {
    favourites_list_->SetChannels(std::move(rows));
  }
  UpdateTabLabels();
}

void ChannelsDialog::FillRecentList() {
  const Category* hidden = HiddenCategory();
  std::vector<Channel*> rows;
  if (catalogue_ != nullptr) {
    const RecentChannels recent = LoadRecentChannels();
    for (const std::string& key : recent.keys()) {
      // A channel of a playlist that is gone for now is left out, but
      // kept in the list for when it is back.
      Channel* channel = catalogue_->FindChannelByKey(key);
      if (channel != nullptr && (hidden == nullptr || channel->category() != hidden)) rows.push_back(channel);
    }
  }
  recent_list_->SetChannels(std::move(rows));
  UpdateTabLabels();
}

void ChannelsDialog::UpdateTabLabels() {
  const QString format = QStringLiteral("%1 (%2)");
  channels_label_ = format.arg(Text("tab_channels"), QString::number(channel_list_->RowCount()));
  favourites_label_ = format.arg(Text("tab_favorites"), QString::number(favourites_list_->RowCount()));
  recent_label_ = format.arg(Text("tab_recent"), QString::number(recent_list_->RowCount()));
  tab_strip_->SetTabNames({channels_label_, favourites_label_, recent_label_});
  update(QRect(0, 0, width(), BarUnit()));
  RebuildRightMenu();
}

int ChannelsDialog::ShownTab() const {
  const int32_t tab = DialogSelection().tab;
  return tab == kChannelsTab || tab == kRecentTab ? tab : kFavouritesTab;
}

ChannelListView* ChannelsDialog::ShownList() const {
  switch (ShownTab()) {
    case kFavouritesTab:
      return favourites_list_;
    case kRecentTab:
      return recent_list_;
    default:
      return channel_list_;
  }
}

void ChannelsDialog::ShowTab(int tab) {
  DialogSelection().tab = tab;
  guide_shown_ = false;
  tab_strip_->SetShownTab(ShownTab());
  tab_strip_->show();
  guide_page_->hide();
  guide_page_->Clear();
  const bool channels = ShownTab() == kChannelsTab;
  ShowChannelControls(channels);
  favourites_list_->setVisible(ShownTab() == kFavouritesTab);
  recent_list_->setVisible(ShownTab() == kRecentTab);
  // Favourites and recent channels open on their first row, so that Play
  // acts at once.
  if (!channels && ShownList()->SelectedChannel() == nullptr) ShownList()->SelectShownRow(0);
  // The shown list takes the keys, so Enter and typing work at once.
  ShownList()->setFocus(Qt::OtherFocusReason);
  update();
  RebuildRightMenu();
}

void ChannelsDialog::RebuildRightMenu() {
  // The menu may be rebuilt from one of its own items' handlers, so the
  // old items go away only once that handler has returned.
  for (QAction* action : right_menu_.actions()) {
    right_menu_.removeAction(action);
    action->deleteLater();
  }
  if (guide_shown_) {
    AddMenuCommand(&right_menu_, Text("menu_back_to_list"), ID_HIDE_GUIDE);
    right_menu_.addSeparator();
    AddMenuCommand(&right_menu_, Text("menu_close"), ID_CLOSE_CHANNELS);
    return;
  }
  AddMenuCommand(&right_menu_, Text(ShownTab() == kChannelsTab ? "tab_favorites" : "tab_channels"), ID_SWITCH_TAB);
  if (const Channel* channel = ShownList()->SelectedChannel()) {
    right_menu_.addSeparator();
    if (channel->favourite()) {
      AddMenuCommand(&right_menu_, Text("menu_remove_favorites"), ID_REMOVE_FAVOURITE);
    } else {
      AddMenuCommand(&right_menu_, Text("menu_add_favorites"), ID_ADD_FAVOURITE);
    }
    if (PlaylistManager* playlists = PlaylistManager::Current(); playlists && playlists->FindChannel(*channel)) {
      AddMenuCommand(&right_menu_, Text("menu_guide"), ID_SHOW_GUIDE);
    }
  }
  if (GuideEntry::Current() != nullptr) AddMenuCommand(&right_menu_, Text("str_programme_guide"), ID_GUIDE_GRID);
  if (CurrentChannelCheckRequest() != nullptr && ShownTab() == kChannelsTab) {
    right_menu_.addSeparator();
    AddMenuCommand(&right_menu_,
                   Text("menu_check_channels") + QLatin1Char('\t') +
                       QKeySequence(kCheckListKey).toString(QKeySequence::NativeText),
                   ID_CHECK_LIST)
        ->setToolTip(Text("tip_check_list"));
    QAction* hide = AddMenuCommand(&right_menu_, Text("menu_hide_unavailable"), ID_HIDE_UNAVAILABLE);
    hide->setCheckable(true);
    hide->setChecked(GetSetting(kHideUnavailableSetting));
  }
  right_menu_.addSeparator();
  AddMenuCommand(&right_menu_, Text("menu_close"), ID_CLOSE_CHANNELS);
}

void ChannelsDialog::RememberRows() {
  // A list still on its way keeps the row it is to select.
  DialogSelection().channel_row = fill_pending_ ? row_to_select_ : channel_list_->SelectedRow();
  DialogSelection().favourite_row = favourites_list_->SelectedRow();
}

void ChannelsDialog::Play() {
  Channel* channel = ShownList()->SelectedChannel();
  if (channel == nullptr) return;
  RememberRows();
  RememberZapList();
  play_requested_ = true;
  chosen_channel_ = channel;
  done(1);
}

void ChannelsDialog::RememberZapList() {
  // The rows as shown (group, filter and search applied) are what Page
  // Up/Down then step through, with the playlist's channel numbers (a
  // catalogue channel is numbered by its place in the list).
  const ChannelListView* list = ShownList();
  std::vector<Channel*> channels;
  channels.reserve(static_cast<size_t>(list->RowCount()));
  for (int row = 0; row < list->RowCount(); ++row) {
    if (Channel* channel = list->ChannelAtShownRow(row)) channels.push_back(channel);
  }
  // The numbers are looked up when one is shown or typed: the list is
  // dropped when the catalogue changes, and the playlists with it.
  Zapping().Set(
      std::move(channels),
      [](const Channel& channel) {
        const PlaylistManager* playlists = PlaylistManager::Current();
        return playlists != nullptr ? playlists->ChannelNumber(channel) : std::string();
      },
      catalogue_->ListVersion());
}

void ChannelsDialog::AddFavourite() {
  Channel* channel = ShownList()->SelectedChannel();
  if (channel == nullptr) return;
  channel->set_favourite(true);
  NoteSettingsChanged();
  FillFavouritesList();
  ShownList()->viewport()->update();
}

void ChannelsDialog::RemoveFavourite() {
  Channel* channel = ShownList()->SelectedChannel();
  if (channel == nullptr) return;
  channel->set_favourite(false);
  NoteSettingsChanged();
  favourites_list_->RemoveChannel(channel);
  recent_list_->viewport()->update();
  UpdateTabLabels();
}

bool ChannelsDialog::HandleCommand(int command) {
  switch (command) {
    case ID_PLAY:
    case ID_CTX_PLAY:
      Play();
      return true;
    case ID_ADD_FAVOURITE:
      AddFavourite();
      return true;
    case ID_REMOVE_FAVOURITE:
      RemoveFavourite();
      return true;
    case ID_SHOW_GUIDE:
      ShowGuide();
      return true;
    case ID_HIDE_GUIDE:
      HideGuide();
      return true;
    case ID_CHOOSE_GUIDE_CHANNEL:
      if (PlaylistManager* playlists = PlaylistManager::Current(); playlists && ShownList()->SelectedChannel()) {
        ChooseGuideChannel(this, *playlists, *ShownList()->SelectedChannel());
      }
      return true;
    case ID_GUIDE_GRID:
      if (GuideEntry* guide = GuideEntry::Current()) {
        // The grid shows the channels of this list, as filtered now.
        std::vector<Channel*> channels;
        for (int row = 0; row < ShownList()->RowCount(); ++row) channels.push_back(ShownList()->ChannelAtShownRow(row));
        if (!channels.empty()) guide->Open(this, std::move(channels));
      }
      return true;
    case ID_CHECK_LIST:
      CheckChosenList();
      return true;
    case ID_HIDE_UNAVAILABLE:
      SetSetting(kHideUnavailableSetting, !GetSetting(kHideUnavailableSetting));
      NoteSettingsChanged();
      FillChannelList();
      return true;
    case ID_SWITCH_TAB:
      ShowTab(ShownTab() == kChannelsTab ? kFavouritesTab : kChannelsTab);
      return true;
    case ID_NEXT_TAB:
      ShowTab((ShownTab() + 1) % kTabCount);
      return true;
    case ID_PREVIOUS_TAB:
      ShowTab((ShownTab() + kTabCount - 1) % kTabCount);
      return true;
    case ID_CLOSE_CHANNELS:
      RememberRows();
      done(2);
      return true;
    default:
      return false;
  }
}

void ChannelsDialog::CheckChosenList() {
  const ChannelCheckRequest check = CurrentChannelCheckRequest();
  if (check == nullptr || catalogue_ == nullptr) return;
  // The chosen playlist, provider or country; every channel with none.
  const int country_pos = country_combo_->currentIndex();
  const Country* country = country_pos > 0 && country_pos < static_cast<int>(country_entries_.size())
                               ? country_entries_[country_pos]
                               : nullptr;
  std::vector<Channel*> channels;
  for (Channel* channel : catalogue_->AllChannels()) {
    if (country == nullptr || channel->country() == country) channels.push_back(channel);
  }
  if (channels.empty()) return;
  check(this, std::move(channels));
  // Marks, tooltips and hidden rows follow the new results.
  FillChannelList();
  favourites_list_->viewport()->update();
  recent_list_->viewport()->update();
}

void ChannelsDialog::ShowGuide() {
  const Channel* channel = ShownList()->SelectedChannel();
  const PlaylistManager* playlists = PlaylistManager::Current();
  if (guide_shown_ || channel == nullptr || playlists == nullptr || !playlists->FindChannel(*channel)) return;
  guide_page_->Show(*playlists, *channel);
  guide_label_ = Text("str_guide_today").arg(ToQString(channel->name()));
  guide_shown_ = true;
  ShowChannelControls(false);
  favourites_list_->hide();
  recent_list_->hide();
  // Over the guide the strip is its title, not tabs.
  tab_strip_->hide();
  guide_page_->show();
  guide_page_->setFocus(Qt::OtherFocusReason);
  update();
  RebuildRightMenu();
}

void ChannelsDialog::HideGuide() {
  if (guide_shown_) ShowTab(DialogSelection().tab);
}

void ChannelsDialog::WriteSelection() {
  selection_written_ = true;
  SaveDialogSelection();
}

void ChannelsDialog::done(int result) {
  WriteSelection();
  SkinnedDialog::done(result);
}

void ChannelsDialog::closeEvent(QCloseEvent* event) { event->ignore(); }

void ChannelsDialog::keyPressEvent(QKeyEvent* event) {
  // The lists leave Ctrl+letter keys to the dialog.
  if (event->key() == Qt::Key_G && event->modifiers() == Qt::ControlModifier) {
    event->accept();
    RunCommand(ID_SHOW_GUIDE);
    return;
  }
  SkinnedDialog::keyPressEvent(event);
}

void ChannelsDialog::mousePressEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if (event->button() != Qt::LeftButton || point.y() > BarUnit()) {
    SkinnedDialog::mousePressEvent(event);
    return;
  }
  if (guide_shown_) {
    PlaySystemSound("menu-popup");
    HideGuide();
    return;
  }
  const int tab = TabAt(point.x());
  if (tab != ShownTab()) {
    PlaySystemSound("menu-popup");
    ShowTab(tab);
  }
}

int ChannelsDialog::TabAt(int x) const {
  return std::clamp(x * kTabCount / std::max(1, width()), 0, kTabCount - 1);
}

void ChannelsDialog::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int u = BarUnit();
  const int w = width();
  DrawBarStrip(painter, Skin().BarStrip(), QRect(0, 0, w, u));
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(Skin().TitleFont());
  const int shown = ShownTab();
  const int flags = Qt::AlignCenter | Qt::TextSingleLine;
  if (guide_shown_) {
    painter.setPen(QColor(kShownTabRgb));
    const QRect title(u / 4, 0, w - u / 2, u * 5 / 6);
    painter.drawText(title, flags, painter.fontMetrics().elidedText(guide_label_, Qt::ElideRight, title.width()));
    DrawControlFrame(guide_page_, painter);
    return;
  }
  const QString* labels[kTabCount] = {&channels_label_, &favourites_label_, &recent_label_};
  for (int tab = 0; tab < kTabCount; ++tab) {
    const QRect place(w * tab / kTabCount, 0, w * (tab + 1) / kTabCount - w * tab / kTabCount, u * 5 / 6);
    painter.setPen(QColor(tab == shown ? kShownTabRgb : kOtherTabRgb));
    painter.drawText(place, flags, painter.fontMetrics().elidedText(*labels[tab], Qt::ElideRight, place.width() - u / 8));
  }
  if (shown != kChannelsTab) {
    DrawControlFrame(ShownList(), painter);
  } else {
    for (const QWidget* control : {static_cast<const QWidget*>(channel_list_), static_cast<const QWidget*>(country_combo_),
                                   static_cast<const QWidget*>(category_combo_), static_cast<const QWidget*>(kind_combo_),
                                   static_cast<const QWidget*>(search_field_), static_cast<const QWidget*>(scope_combo_)}) {
      DrawControlFrame(control, painter);
    }
    // A playlist's own filters are framed like the others while shown.
    for (const QWidget* control : {static_cast<const QWidget*>(group_combo_), static_cast<const QWidget*>(sort_combo_)}) {
      if (control->isVisibleTo(this)) DrawControlFrame(control, painter);
    }
  }
}

}  // namespace vidora
