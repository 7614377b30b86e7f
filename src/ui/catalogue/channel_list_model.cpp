#include "ui/catalogue/channel_list_model.h"

#include <QChar>
#include <QStringView>

#include <algorithm>

#include "core/catalogue/channel.h"

namespace vidora {

namespace {

QStringView NameView(const Channel& channel) {
  const std::u16string& name = channel.name();
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

ChannelListModel::ChannelListModel(QObject* parent) : QAbstractListModel(parent) {}

void ChannelListModel::SetChannels(std::vector<Channel*> channels) {
  beginResetModel();
  full_ = std::move(channels);
  BuildNamePool();
  ApplySearch();
  endResetModel();
}

void ChannelListModel::BuildNamePool() {
  name_pool_.clear();
  name_starts_.clear();
  slot_of_row_.clear();
  size_t units = 0;
  for (const Channel* channel : full_) units += channel->name().size();
  name_pool_.reserve(units);
  name_starts_.reserve(full_.size() + 1);
  slot_of_row_.reserve(full_.size());
  for (const Channel* channel : full_) {
    slot_of_row_.push_back(static_cast<uint32_t>(name_starts_.size()));
    name_starts_.push_back(static_cast<uint32_t>(name_pool_.size()));
    AppendFolded(channel->name(), name_pool_);
  }
  name_starts_.push_back(static_cast<uint32_t>(name_pool_.size()));
}

bool ChannelListModel::Matches(int row, std::u16string_view needle) const {
  const uint32_t slot = slot_of_row_[static_cast<size_t>(row)];
  const uint32_t begin = name_starts_[slot];
  const std::u16string_view name(name_pool_.data() + begin, name_starts_[slot + 1] - begin);
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
  if (channel == nullptr || role != Qt::DisplayRole) return QVariant();
  return NameView(*channel).toString();
}

}  // namespace vidora
