#ifndef VIDORA_UI_CATALOGUE_CHANNEL_ROW_DELEGATE_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_ROW_DELEGATE_H_

#include <QAbstractItemDelegate>

namespace vidora {

class Channel;

// Paints the rows of a channel list (a ChannelListModel): a black frame
// filled white, light grey when selected; the country's flag; the
// channel's name in the skin's title font and its info line in the small
// font below; at the right end the kind ("TV" or "Radio", framed) and, on
// a favourite, a star. Every row is RowHeight() high. UI thread only.
class ChannelRowDelegate : public QAbstractItemDelegate {
  Q_OBJECT

 public:
  explicit ChannelRowDelegate(QObject* parent = nullptr);

  // BarUnit() * 3 / 2.
  static int RowHeight();
  // Paints one row of `channel` (nullptr: the frame and fill only) into
  // `row`, a rectangle RowHeight() high.
  static void PaintRow(QPainter& painter, const QRect& row, const Channel* channel, bool selected);

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_ROW_DELEGATE_H_
