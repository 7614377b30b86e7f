#include "ui/tracks/picture_note.h"

#include <QAccessible>
#include <QEvent>

namespace vidora {
namespace {

constexpr int kMargin = 12;

}  // namespace

PictureNote::PictureNote(QWidget* picture, Corner corner, const QString& accessible_name)
    : QLabel(picture->parentWidget()), picture_(picture), corner_(corner) {
  setAccessibleName(accessible_name);
  setTextFormat(Qt::PlainText);
  setMargin(8);
  // Light text on a dark veil reads over any picture.
  setStyleSheet(QStringLiteral("background-color: rgba(0, 0, 0, 170); color: rgb(235, 235, 235); border-radius: 4px;"));
  setAttribute(Qt::WA_TransparentForMouseEvents);
  hide();
  hide_timer_.setSingleShot(true);
  hide_timer_.setInterval(kShowMs);
  connect(&hide_timer_, &QTimer::timeout, this, &QWidget::hide);
  picture->installEventFilter(this);
}

void PictureNote::Show(const QString& text, bool passing) {
  const bool changed = text != this->text();
  setText(text);
  setAccessibleDescription(text);
  adjustSize();
  Place();
  show();
  raise();
  if (passing) {
    hide_timer_.start();
  } else {
    hide_timer_.stop();
  }
  if (changed && QAccessible::isActive()) {
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
  }
}

void PictureNote::Place() {
  if (picture_ == nullptr) return;
  const QRect area = picture_->geometry();
  const int x = corner_ == Corner::kTopLeft ? area.left() + kMargin : area.right() + 1 - kMargin - width();
  move(x, area.top() + kMargin);
}

bool PictureNote::eventFilter(QObject* watched, QEvent* event) {
  if (watched == picture_ && (event->type() == QEvent::Move || event->type() == QEvent::Resize)) Place();
  return QLabel::eventFilter(watched, event);
}

}  // namespace vidora
