#include "ui/catalogue/channel_list_model.h"

#include <QChar>
#include <QStringList>
#include <QStringView>

#include <algorithm>

#include "core/document/text_codec.h"
#include "core/catalogue/channel.h"
#include "core/catalogue/channel_catalogue.h"
#include "core/catalogue/country.h"
#include "ui/catalogue/channel_health_view.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

constexpr char16_t kGroupSeparator = u'\x1f';

QStringView NameView(const Channel& channel) {
  const std::u16string_view name = channel.name();
  return QStringView(name.data(), static_cast<qsizetype>(name.size()));
}

// Appends `text` folded code point by code point (simple case folding, as
// Qt's case-insensitive comparison does), so a fold never changes length
// in a way that could join two names.
void AppendFolded(std::u16string_view text, std::u16string& out) {
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t unit = text[i];
    if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1])) {
      const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(static_cast<char16_t>(unit), text[i + 1]));
      out.push_back(QChar::highSurrogate(folded));
      out.push_back(QChar::lowSurrogate(folded));
      ++i;
      continue;
    }
    out.push_back(static_cast<char16_t>(QChar::toCaseFolded(unit)));
  }
}

}  // namespace

FoldedNames::Maker::Maker() : names_(std::make_shared<FoldedNames>()) {}

std::shared_ptr<const FoldedNames> FoldedNames::Maker::Step(const std::vector<Channel*>& channels, size_t& budget) {
  if (names_->starts.empty()) {
    names_->starts.reserve(channels.size() + 1);
    // Folded in one go, the pool is sized first; a slice at a time it grows
    // as it fills, since sizing it visits every channel in one piece.
    if (budget >= channels.size()) {
      size_t units = 0;
      for (const Channel* channel : channels) units += channel->name().size();
      names_->pool.reserve(units);
    }
  }
  const PlaylistManager* playlists = PlaylistManager::Current();
  for (; next_ < channels.size() && budget > 0; ++next_, --budget) {
    const Channel* channel = channels[next_];
    names_->starts.push_back(static_cast<uint32_t>(names_->pool.size()));
    AppendFolded(channel->name(), names_->pool);
    // A playlist channel is found by its group too. The separator is a
    // control character no search text holds, so no match runs from the
    // name into the group.
    if (playlists != nullptr && !channel->group().empty() && playlists->FindChannel(*channel).has_value()) {
      names_->pool.push_back(kGroupSeparator);
      AppendFolded(Utf8ToUtf16(channel->group()), names_->pool);
    }
  }
  if (next_ < channels.size()) return nullptr;
  if (names_->starts.size() == channels.size()) names_->starts.push_back(static_cast<uint32_t>(names_->pool.size()));
  return names_;
}

std::shared_ptr<const FoldedNames> FoldedNames::Make(const std::vector<Channel*>& channels) {
  Maker maker;
  size_t budget = SIZE_MAX;
  return maker.Step(channels, budget);
}

std::shared_ptr<const FoldedNames> FoldedNames::OfCatalogue(const ChannelCatalogue& catalogue) {
  size_t budget = SIZE_MAX;
  return OfCatalogue(catalogue, budget);
}

std::shared_ptr<const FoldedNames> FoldedNames::OfCatalogue(const ChannelCatalogue& catalogue, size_t& budget) {
  // ListVersion values are unique in the process, so a catalogue made
  // where another one was never finds that one's names.
  static uint64_t version = 0;
  static const PlaylistManager* made_with = nullptr;
  static std::unique_ptr<Maker> maker;
  if (maker == nullptr || version != catalogue.ListVersion() || made_with != PlaylistManager::Current()) {
    maker = std::make_unique<Maker>();
    version = catalogue.ListVersion();
    made_with = PlaylistManager::Current();
  }
  return maker->Step(catalogue.AllChannels(), budget);
}

ChannelListModel::ChannelListModel(QObject* parent) : QAbstractListModel(parent) {}

void ChannelListModel::SetChannels(std::vector<Channel*> channels) {
  std::vector<uint32_t> name_slots(channels.size());
  for (size_t i = 0; i < name_slots.size(); ++i) name_slots[i] = static_cast<uint32_t>(i);
  std::shared_ptr<const FoldedNames> names = FoldedNames::Make(channels);
  SetChannels(std::move(channels), std::move(names), std::move(name_slots));
}

void ChannelListModel::SetChannels(std::vector<Channel*> channels, std::shared_ptr<const FoldedNames> names,
                                   std::vector<uint32_t> name_slots) {
  beginResetModel();
  full_ = std::move(channels);
  names_ = std::move(names);
  slot_of_row_ = std::move(name_slots);
  ApplySearch();
  endResetModel();
}

bool ChannelListModel::Matches(int row, std::u16string_view needle) const {
  const uint32_t slot = slot_of_row_[static_cast<size_t>(row)];
  const uint32_t begin = names_->starts[slot];
  const std::u16string_view name(names_->pool.data() + begin, names_->starts[slot + 1] - begin);
  return name.find(needle) != std::u16string_view::npos;
}

bool ChannelListModel::RemoveChannel(const Channel* channel) {
  auto found = std::find(full_.begin(), full_.end(), channel);
  if (found == full_.end()) return false;
  const int full_row = static_cast<int>(found - full_.begin());
  const int shown_row = ShownRowOf(full_row);
  if (shown_row >= 0) beginRemoveRows(QModelIndex(), shown_row, shown_row);
  full_.erase(found);
  slot_of_row_.erase(slot_of_row_.begin() + full_row);
  if (!search_.isEmpty()) {
    if (shown_row >= 0) matches_.erase(matches_.begin() + shown_row);
    for (int& row : matches_) row -= row > full_row ? 1 : 0;
  }
  if (shown_row >= 0) endRemoveRows();
  return true;
}

void ChannelListModel::SetSearchText(const QString& text) {
  if (text == search_) return;
  beginResetModel();
  std::u16string folded;
  AppendFolded(std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())),
               folded);
  // A longer text can only match channels that the shorter one matched,
  // so typing on only looks at the rows already shown.
  const bool narrowing = !search_.isEmpty() && folded.starts_with(folded_search_);
  search_ = text;
  folded_search_ = std::move(folded);
  if (narrowing) {
    std::erase_if(matches_, [this](int row) { return !Matches(row, folded_search_); });
  } else {
    ApplySearch();
  }
  endResetModel();
}

void ChannelListModel::ApplySearch() {
  matches_.clear();
  if (search_.isEmpty()) return;
  const int count = FullCount();
  for (int row = 0; row < count; ++row) {
    if (Matches(row, folded_search_)) matches_.push_back(row);
  }
}

int ChannelListModel::ShownCount() const {
  return static_cast<int>(search_.isEmpty() ? full_.size() : matches_.size());
}

int ChannelListModel::FullRowOf(int row) const {
  if (row < 0 || row >= ShownCount()) return -1;
  return search_.isEmpty() ? row : matches_[row];
}

int ChannelListModel::ShownRowOf(int full_row) const {
  if (full_row < 0 || full_row >= FullCount()) return -1;
  if (search_.isEmpty()) return full_row;
  auto found = std::lower_bound(matches_.begin(), matches_.end(), full_row);
  return found != matches_.end() && *found == full_row ? static_cast<int>(found - matches_.begin()) : -1;
}

Channel* ChannelListModel::ChannelAt(int row) const {
  const int full_row = FullRowOf(row);
  return full_row < 0 ? nullptr : full_[full_row];
}

int ChannelListModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : ShownCount(); }

QVariant ChannelListModel::data(const QModelIndex& index, int role) const {
  const Channel* channel = index.isValid() ? ChannelAt(index.row()) : nullptr;
  if (channel == nullptr) return QVariant();
  if (role == Qt::DisplayRole) return NameView(*channel).toString();
  if (role == Qt::AccessibleDescriptionRole) return AccessibleDescription(*channel);
  if (role == Qt::ToolTipRole) {
    const QString tip = HealthTooltip(*channel);
    return tip.isEmpty() ? QVariant() : QVariant(tip);
  }
  return QVariant();
}

QString ChannelListModel::AccessibleDescription(const Channel& channel) {
  // What the row paints besides the name: the kind mark, the country, the
  // star, and the running programme when a guide knows it.
  QStringList parts{Text(channel.radio() ? "str_radio" : "str_tv")};
  if (channel.country() != nullptr) parts.push_back(ToQString(channel.country()->display_name()));
  if (channel.favourite()) parts.push_back(Text("acc_favourite"));
  if (const QString health = HealthAccessibleText(channel); !health.isEmpty()) parts.push_back(health);
  if (const PlaylistManager* playlists = PlaylistManager::Current()) {
    if (const std::optional<ProgrammeRecord> now = playlists->GuideNowNext(channel).now) {
      parts.push_back(Text("acc_now_playing").arg(playlists->GuideText(now->title)));
    }
  }
  return parts.join(QStringLiteral(", "));
}

}  // namespace vidora
