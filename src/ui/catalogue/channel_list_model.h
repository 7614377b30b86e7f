#ifndef VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_

#include <QAbstractListModel>
#include <QString>

#include <vector>

namespace vidora {

class Channel;

// The rows of a channel list: the channels it was filled with (its "full"
// rows, in fill order) narrowed by an optional search text to those whose
// name contains the text, ignoring case (its shown rows). Model rows are
// shown rows. The channels are borrowed from the catalogue and must stay
// valid while the model holds them. UI thread only.
class ChannelListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  explicit ChannelListModel(QObject* parent = nullptr);

  // Replaces every row; the search text stays and applies to the new rows.
  void SetChannels(std::vector<Channel*> channels);
  // Removes the first full row (from the top) holding `channel`; returns
  // whether there was one.
  bool RemoveChannel(const Channel* channel);

  // Narrows the shown rows; an empty text shows every full row.
  void SetSearchText(const QString& text);
  const QString& search_text() const { return search_; }

  int FullCount() const { return static_cast<int>(full_.size()); }
  int ShownCount() const;
  // The channel of shown row `row`, or nullptr when out of range.
  Channel* ChannelAt(int row) const;
  // Full row of shown row `row`, or -1.
  int FullRowOf(int row) const;
  // Shown row of full row `full_row`, or -1 when it is not shown.
  int ShownRowOf(int full_row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  void ApplySearch();

  std::vector<Channel*> full_;
  QString search_;
  // Full rows shown while a search text is set.
  std::vector<int> matches_;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_LIST_MODEL_H_
