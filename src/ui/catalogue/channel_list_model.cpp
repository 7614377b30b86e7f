#include "ui/catalogue/channel_list_model.h"

#include <QStringView>

#include <algorithm>

#include "core/catalogue/channel.h"

namespace vidora {

namespace {

QStringView NameView(const Channel& channel) {
  const std::u16string& name = channel.name();
  return QStringView(name.data(), static_cast<qsizetype>(name.size()));
}

}  // namespace

ChannelListModel::ChannelListModel(QObject* parent) : QAbstractListModel(parent) {}

void ChannelListModel::SetChannels(std::vector<Channel*> channels) {
  beginResetModel();
  full_ = std::move(channels);
  ApplySearch();
  endResetModel();
}

bool ChannelListModel::RemoveChannel(const Channel* channel) {
  auto found = std::find(full_.begin(), full_.end(), channel);
  if (found == full_.end()) return false;
  const int full_row = static_cast<int>(found - full_.begin());
  const int shown_row = ShownRowOf(full_row);
  if (shown_row >= 0) beginRemoveRows(QModelIndex(), shown_row, shown_row);
  full_.erase(found);
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
  // A longer text can only match channels that the shorter one matched,
  // so typing on only looks at the rows already shown.
  const bool narrowing = !search_.isEmpty() && text.startsWith(search_, Qt::CaseInsensitive);
  search_ = text;
  if (narrowing) {
    std::erase_if(matches_, [this](int row) { return !NameView(*full_[row]).contains(search_, Qt::CaseInsensitive); });
  } else {
    ApplySearch();
  }
  endResetModel();
}

void ChannelListModel::ApplySearch() {
  matches_.clear();
  if (search_.isEmpty()) return;
  for (size_t i = 0; i < full_.size(); ++i) {
    if (NameView(*full_[i]).contains(search_, Qt::CaseInsensitive)) matches_.push_back(static_cast<int>(i));
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
