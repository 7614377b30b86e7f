#include "ui/catalogue/channel_row_delegate.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

#include "core/catalogue/channel.h"
#include "core/catalogue/country.h"
#include "ui/catalogue/channel_health_view.h"
#include "ui/catalogue/channel_list_model.h"
#include "ui/guide/strip_decorations.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

constexpr QRgb kRowRgb = qRgb(255, 255, 255);
constexpr QRgb kSelectedRowRgb = qRgb(192, 192, 192);
constexpr QRgb kRowTextRgb = qRgb(0, 0, 0);
// The marks take the skin's highlight blue for TV, a green for radio and
// gold for the favourite star, readable on white and on the selection grey.
constexpr QRgb kTvMarkRgb = qRgb(53, 66, 135);
constexpr QRgb kRadioMarkRgb = qRgb(20, 110, 60);
constexpr QRgb kFavouriteMarkRgb = qRgb(200, 140, 0);

}  // namespace

ChannelRowDelegate::ChannelRowDelegate(QObject* parent) : QAbstractItemDelegate(parent) {}

int ChannelRowDelegate::RowHeight() { return BarUnit() * 3 / 2; }

void ChannelRowDelegate::PaintRow(QPainter& painter, const QRect& row, const Channel* channel, bool selected) {
  const int row_height = RowHeight();
  const int s = std::max(row_height / 32, 1);
  const int left = row.left();
  const int top = row.top();
  const int right = row.left() + row.width();
  const int bottom = row.top() + row.height();

  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  // The frame starts one pixel above the row, on the previous row's bottom
  // line, so neighbouring rows share one black line.
  painter.setPen(QColor(0, 0, 0));
  painter.setBrush(QColor(selected ? kSelectedRowRgb : kRowRgb));
  painter.drawRect(QRect(left, top - 1, right - left - 1, bottom - top));
  if (channel == nullptr) {
    painter.restore();
    return;
  }

  const QImage* logo = PlaylistManager::Current() != nullptr ? PlaylistManager::Current()->Logo(*channel) : nullptr;
  if (logo != nullptr) {
    // A playlist channel's logo takes the flag's place, fitted into the
    // room left of the text.
    const QSize fitted = logo->size().scaled(20 * s, row_height - 4 * s, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint(left + 2 * s, top + (row_height - fitted.height()) / 2), fitted), *logo);
  } else if (const SkinImage* flag = channel->country() != nullptr ? channel->country()->flag_image() : nullptr) {
    const int flag_top = top + (row_height - 11 * s) / 2;
    flag->Draw(painter, QRect(left + 2 * s, flag_top, 16 * s, 11 * s));
  }

  // The marks at the right end: the kind (TV or radio) in a small frame
  // on the info line, a star above it for a favourite.
  painter.setFont(Skin().SmallBoldFont());
  const QString kind = Text(channel->radio() ? "str_radio" : "str_tv");
  const QFontMetrics metrics(painter.font());
  const int mark_width = metrics.horizontalAdvance(kind) + 4 * s;
  const int mark_height = metrics.height();
  const QRect mark(right - 2 * s - mark_width, bottom - 3 * s - mark_height, mark_width, mark_height);
  painter.setPen(QColor(channel->radio() ? kRadioMarkRgb : kTvMarkRgb));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(mark.adjusted(0, 0, -1, -1));
  painter.drawText(mark, Qt::AlignCenter | Qt::TextSingleLine, kind);
  if (channel->favourite()) {
    painter.setFont(Skin().TitleFont());
    painter.setPen(QColor(kFavouriteMarkRgb));
    const QRect star(mark.left(), top + s, mark.width(), mark.top() - top - 2 * s);
    painter.drawText(star, Qt::AlignCenter | Qt::TextSingleLine, QString(QChar(0x2605)));
  }
  int text_right = mark.left() - 2 * s;
  // Sources the channel check found dead: a sign before the marks (the
  // tooltip says why).
  if (const ChannelHealth health = HealthOf(*channel); health.dead > 0) {
    const int side = mark_height;
    PaintHealthMark(painter, QRect(text_right - side, bottom - 3 * s - side, side, side), health);
    text_right -= side + 2 * s;
  }

  QRect text(QPoint(left + 24 * s, top), QPoint(text_right - 1, bottom - 8 * s - 1));
  painter.setPen(QColor(kRowTextRgb));
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(Skin().TitleFont());
  // Word-wrapped text is set from the top of its box; centring applies to
  // single lines only, so the name sits at the top of the row.
  // A playlist channel leads with its number, as a television list does.
  const std::string number = PlaylistManager::Current() != nullptr ? PlaylistManager::Current()->ChannelNumber(*channel) : std::string();
  const QString name = number.empty() ? ToQString(channel->name())
                                      : QString::fromStdString(number) + QStringLiteral("  ") + ToQString(channel->name());
  painter.drawText(text, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, name);

  text.setTop(text.top() + row_height / 2);
  text.setBottom(text.bottom() + 4 * s);
  painter.setFont(Skin().SmallFont());
  // A channel with a guide shows what runs now and next instead.
  QString line = NowNextLine(*channel);
  if (line.isEmpty()) line = ToQString(channel->info_line());
  painter.drawText(text, Qt::AlignLeft | Qt::AlignBottom | Qt::TextSingleLine,
                   QFontMetrics(painter.font()).elidedText(line, Qt::ElideRight, text.width()));
  painter.restore();
}

void ChannelRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const auto* model = qobject_cast<const ChannelListModel*>(index.model());
  const Channel* channel = model != nullptr ? model->ChannelAt(index.row()) : nullptr;
  PaintRow(*painter, option.rect, channel, (option.state & QStyle::State_Selected) != 0);
}

QSize ChannelRowDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const {
  return QSize(option.rect.width(), RowHeight());
}

}  // namespace vidora
