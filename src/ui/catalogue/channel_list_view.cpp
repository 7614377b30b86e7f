#include "ui/catalogue/channel_list_view.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include "core/catalogue/channel.h"
#include "ui/catalogue/channel_commands.h"
#include "ui/catalogue/channel_list_model.h"
#include "ui/catalogue/channel_row_delegate.h"
#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

ChannelListView::ChannelListView(QWidget* parent)
    : QListView(parent), model_(new ChannelListModel(this)), search_label_(new QLabel(this)) {
  setModel(model_);
  setItemDelegate(new ChannelRowDelegate(this));
  // Every row has the same height, which keeps filling and scrolling
  // through very long lists cheap.
  setUniformItemSizes(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setFocusPolicy(Qt::StrongFocus);
  setContextMenuPolicy(Qt::DefaultContextMenu);
  setAccessibleName(Text("acc_channel_list"));
  BuildContextMenus();

  hold_timer_.setSingleShot(true);
  hold_timer_.setInterval(kHoldMs);
  connect(&hold_timer_, &QTimer::timeout, this, [this] { OpenContextMenu(viewport()->mapToGlobal(hold_point_)); });
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { emit SelectionChanged(); });

  search_label_->setFont(Skin().SmallBoldFont());
  search_label_->setAutoFillBackground(true);
  QPalette palette = search_label_->palette();
  palette.setColor(QPalette::Window, Skin().BackgroundColour());
  palette.setColor(QPalette::WindowText, Skin().TextColour());
  search_label_->setPalette(palette);
  search_label_->setMargin(BarGap());
  search_label_->hide();
}

void ChannelListView::BuildContextMenus() {
  AddMenuCommand(&channel_menu_, Text("menu_play"), ID_CTX_PLAY);
  channel_menu_.addSeparator();
  AddMenuCommand(&channel_menu_, Text("menu_add_favorites"), ID_ADD_FAVOURITE);
  AddMenuCommand(&favourite_menu_, Text("menu_play"), ID_CTX_PLAY);
  favourite_menu_.addSeparator();
  AddMenuCommand(&favourite_menu_, Text("menu_remove_favorites"), ID_REMOVE_FAVOURITE);
  for (QMenu* menu : {&channel_menu_, &favourite_menu_}) {
    AddMenuCommand(menu, Text("str_choose_guide_channel"), ID_CHOOSE_GUIDE_CHANNEL);
  }
  for (QMenu* menu : {&channel_menu_, &favourite_menu_}) {
    ApplyMenuSkin(menu);
    connect(menu, &QMenu::triggered, this, [this](QAction* action) {
      const int command = MenuCommandOf(action);
      if (command != 0) emit CommandTriggered(command);
    });
  }
}

void ChannelListView::SetChannels(std::vector<Channel*> channels) {
  model_->SetChannels(std::move(channels));
  emit SelectionChanged();
}

void ChannelListView::SetChannels(std::vector<Channel*> channels, std::shared_ptr<const FoldedNames> names,
                                  std::vector<uint32_t> name_slots) {
  model_->SetChannels(std::move(channels), std::move(names), std::move(name_slots));
  emit SelectionChanged();
}

void ChannelListView::RemoveChannel(const Channel* channel) {
  const bool was_selected = SelectedChannel() == channel;
  if (!model_->RemoveChannel(channel)) return;
  // The view would select a neighbour of a removed selected row; that
  // removal leaves no row selected instead, so nothing is acted on unasked.
  // Removing another row keeps the selection where it is.
  if (was_selected) selectionModel()->clear();
  emit SelectionChanged();
}

void ChannelListView::SetWaiting(bool waiting) {
  if (waiting == waiting_) return;
  waiting_ = waiting;
  if (model_->ShownCount() == 0) viewport()->update();
}

int ChannelListView::RowCount() const { return model_->ShownCount(); }

int ChannelListView::SelectedRow() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? -1 : model_->FullRowOf(rows.first().row());
}

Channel* ChannelListView::SelectedChannel() const {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  return rows.isEmpty() ? nullptr : model_->ChannelAt(rows.first().row());
}

Channel* ChannelListView::ChannelAtShownRow(int row) const { return model_->ChannelAt(row); }

bool ChannelListView::SelectRow(int row) {
  const int shown = model_->ShownRowOf(row);
  if (shown < 0) return false;
  const QModelIndex index = model_->index(shown);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index, QAbstractItemView::EnsureVisible);
  return true;
}

bool ChannelListView::SelectShownRow(int row) {
  if (row < 0 || row >= model_->ShownCount()) return false;
  const QModelIndex index = model_->index(row);
  selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
  scrollTo(index, QAbstractItemView::EnsureVisible);
  return true;
}

void ChannelListView::focusInEvent(QFocusEvent* event) {
  QListView::focusInEvent(event);
  const QModelIndex current = currentIndex();
  if (!QAccessible::isActive() || !current.isValid()) return;
  // A one-column list's accessible children are its rows, in order.
  QAccessibleEvent focus(this, QAccessible::Focus);
  focus.setChild(current.row());
  QAccessible::updateAccessibility(&focus);
}

void ChannelListView::paintEvent(QPaintEvent* event) {
  QListView::paintEvent(event);
  if (model_->ShownCount() > 0) return;
  // An empty list says why it is empty (or that rows are on their way)
  // rather than showing nothing.
  QPainter painter(viewport());
  painter.setFont(Skin().TitleFont());
  painter.setPen(palette().color(QPalette::Text));
  painter.drawText(viewport()->rect().adjusted(BarGap(), BarGap(), -BarGap(), -BarGap()),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                   Text(waiting_ ? "static_loading" : "str_no_channels"));
}

QString ChannelListView::SearchText() const { return model_->search_text(); }

void ChannelListView::SetSearchText(const QString& text) { ChangeSearch(text); }

void ChannelListView::SetSearchLabelShown(bool shown) {
  search_label_shown_ = shown;
  search_label_->setVisible(shown && !model_->search_text().isEmpty());
}

void ChannelListView::ChangeSearch(const QString& text) {
  if (text == model_->search_text()) return;
  // The selected channel stays selected when the new text still shows it.
  const int selected = SelectedRow();
  model_->SetSearchText(text);
  if (selected >= 0) SelectRow(selected);
  // One channel left: it is the one meant, so Enter plays it at once.
  if (model_->ShownCount() == 1 && SelectedChannel() == nullptr) SelectShownRow(0);
  search_label_->setText(text);
  search_label_->setVisible(search_label_shown_ && !text.isEmpty());
  PlaceSearchLabel();
  emit SelectionChanged();
  emit SearchChanged();
}

void ChannelListView::PlaceSearchLabel() {
  search_label_->adjustSize();
  const QRect area = viewport()->geometry();
  search_label_->move(area.right() + 1 - search_label_->width(), area.bottom() + 1 - search_label_->height());
  search_label_->raise();
}

void ChannelListView::resizeEvent(QResizeEvent* event) {
  QListView::resizeEvent(event);
  PlaceSearchLabel();
}

void ChannelListView::OpenContextMenu(const QPoint& global) {
  hold_timer_.stop();
  const Channel* channel = SelectedChannel();
  if (channel == nullptr) return;
  QMenu* menu = ContextMenu(channel->favourite());
  // Only a playlist channel has a guide channel to choose.
  const bool playlist = PlaylistManager::Current() != nullptr && PlaylistManager::Current()->FindChannel(*channel).has_value();
  for (QAction* action : menu->actions()) {
    if (MenuCommandOf(action) == ID_CHOOSE_GUIDE_CHANNEL) action->setVisible(playlist);
  }
  menu->popup(QPoint(global.x(), global.y() - menu->sizeHint().height()));
}

void ChannelListView::OpenContextMenuByKey() {
  const QModelIndexList rows = selectionModel()->selectedIndexes();
  if (rows.isEmpty()) return;
  scrollTo(rows.first());
  // Above the selected row, which stays in sight, with its first item
  // active so that Enter chooses it.
  const QRect row = visualRect(rows.first());
  OpenContextMenu(viewport()->mapToGlobal(QPoint(row.left() + BarUnit(), row.top())));
  QMenu* menu = ContextMenu(SelectedChannel()->favourite());
  if (!menu->actions().isEmpty()) menu->setActiveAction(menu->actions().first());
}

void ChannelListView::contextMenuEvent(QContextMenuEvent* event) {
  // Handled whether or not a menu opens.
  event->accept();
  if (event->reason() == QContextMenuEvent::Keyboard) {
    OpenContextMenuByKey();
  } else {
    OpenContextMenu(event->globalPos());
  }
}

void ChannelListView::keyPressEvent(QKeyEvent* event) {
  const QString search = model_->search_text();
  const bool menu_key = event->key() == Qt::Key_Menu ||
                        (event->key() == Qt::Key_F10 && event->modifiers() == Qt::KeyboardModifiers(Qt::ShiftModifier));
  if (menu_key) {
    event->accept();
    OpenContextMenuByKey();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (SelectedChannel() != nullptr) {
        event->accept();
        emit CommandTriggered(ID_PLAY);
        return;
      }
      break;
    case Qt::Key_Escape:
      if (!search.isEmpty()) {
        event->accept();
        ChangeSearch(QString());
        return;
      }
      break;
    case Qt::Key_Backspace:
      if (!search.isEmpty()) {
        event->accept();
        ChangeSearch(search.left(search.size() - 1));
        return;
      }
      break;
    default: {
      const QString text = event->text();
      const bool plain = (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) == 0;
      if (plain && !text.isEmpty() && text.at(0).isPrint()) {
        event->accept();
        ChangeSearch(search + text);
        return;
      }
    }
  }
  QListView::keyPressEvent(event);
}

void ChannelListView::mousePressEvent(QMouseEvent* event) {
  QListView::mousePressEvent(event);
  if (event->button() == Qt::LeftButton) {
    hold_point_ = event->position().toPoint();
    hold_timer_.start();
  }
}

void ChannelListView::mouseMoveEvent(QMouseEvent* event) {
  if (hold_timer_.isActive() &&
      (event->position().toPoint() - hold_point_).manhattanLength() > QApplication::startDragDistance()) {
    hold_timer_.stop();
  }
  QListView::mouseMoveEvent(event);
}

void ChannelListView::mouseReleaseEvent(QMouseEvent* event) {
  hold_timer_.stop();
  QListView::mouseReleaseEvent(event);
}

void ChannelListView::mouseDoubleClickEvent(QMouseEvent* event) {
  hold_timer_.stop();
  QListView::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit CommandTriggered(ID_PLAY);
}

}  // namespace vidora
