#include "ui/dialogs/soft_key_bar.h"

#include <QAbstractButton>
#include <QAction>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QHelpEvent>
#include <QShortcut>
#include <QToolTip>

#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

constexpr QRgb kPressedCaptionRgb = qRgb(195, 170, 69);

// A soft key for screen readers: Qt gives a button the push-button role,
// its text as name and a press action; a press emits clicked.
class AccessibleKey : public QAbstractButton {
 public:
  explicit AccessibleKey(QWidget* bar) : QAbstractButton(bar) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {}
};

}  // namespace

QAction* AddMenuCommand(QMenu* menu, const QString& text, int command) {
  // A caption is shown as written: an ampersand is no mnemonic.
  QAction* action = menu->addAction(QString(text).replace(QLatin1Char('&'), QStringLiteral("&&")));
  action->setData(command);
  return action;
}

int MenuCommandOf(const QAction* action) {
  if (action == nullptr) return 0;
  bool ok = false;
  const int command = action->data().toInt(&ok);
  return ok ? command : 0;
}

SoftKeyBar::SoftKeyBar(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFixedHeight(BarHeight());
  left_button_ = new AccessibleKey(this);
  right_button_ = new AccessibleKey(this);
  connect(left_button_, &QAbstractButton::clicked, this, &SoftKeyBar::PressLeft);
  connect(right_button_, &QAbstractButton::clicked, this, &SoftKeyBar::PressRight);
  auto* left = new QShortcut(QKeySequence(Qt::Key_F1), this);
  connect(left, &QShortcut::activated, this, &SoftKeyBar::PressLeft);
  auto* right = new QShortcut(QKeySequence(Qt::Key_F2), this);
  connect(right, &QShortcut::activated, this, [this] {
    PressRight();
    // From the keyboard the menu opens on its first item, so that the
    // arrows start there and Enter chooses at once.
    if (right_menu_ != nullptr && right_menu_->isVisible() && right_menu_->activeAction() == nullptr) {
      for (QAction* action : right_menu_->actions()) {
        if (!action->isSeparator() && action->isEnabled() && action->isVisible()) {
          right_menu_->setActiveAction(action);
          break;
        }
      }
    }
  });
}

int SoftKeyBar::BarHeight() { return BarUnit() * 4 / 3; }

QSize SoftKeyBar::sizeHint() const { return QSize(10 * BarUnit(), BarHeight()); }

QString SoftKeyBar::KeyTip(bool left) const {
  const QString& caption = left ? left_caption_ : right_caption_;
  if (caption.isEmpty()) return QString();
  return caption + (left ? QStringLiteral(" (F1)") : QStringLiteral(" (F2)"));
}

void SoftKeyBar::Describe() {
  // The keys are painted, not widgets: the bar tells a screen reader both.
  setAccessibleName(Text("acc_soft_keys"));
  QStringList keys;
  for (const bool left : {true, false}) {
    const QString tip = KeyTip(left);
    if (!tip.isEmpty()) keys.push_back(tip);
  }
  setAccessibleDescription(keys.join(QStringLiteral(", ")));
  for (const bool left : {true, false}) {
    QAbstractButton* button = left ? left_button_ : right_button_;
    const QString& caption = left ? left_caption_ : right_caption_;
    button->setText(caption);
    button->setAccessibleDescription(KeyTip(left));
    // A key without a caption does nothing: nothing for a reader to find.
    button->setVisible(!caption.isEmpty());
  }
}

void SoftKeyBar::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  left_button_->setGeometry(0, 0, width() / 2, height());
  right_button_->setGeometry(width() / 2, 0, width() - width() / 2, height());
}

bool SoftKeyBar::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const Key key = KeyAt(help->pos());
    const QString tip = key == Key::kNone ? QString() : KeyTip(key == Key::kLeft);
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
  }
  return QWidget::event(event);
}

void SoftKeyBar::SetLeftKey(const QString& caption, int command) {
  left_caption_ = caption;
  left_command_ = command;
  left_action_ = nullptr;
  Describe();
  update();
}

void SoftKeyBar::SetLeftAction(QAction* action) {
  SetLeftKey(action != nullptr ? action->text() : QString(), 0);
  left_action_ = action;
}

void SoftKeyBar::SetRightKey(const QString& caption, int command) {
  SetRightMenu(caption, nullptr);
  right_command_ = command;
}

void SoftKeyBar::SetRightMenu(const QString& caption, QMenu* menu) {
  if (menu_connection_) disconnect(menu_connection_);
  right_caption_ = caption;
  right_command_ = 0;
  right_menu_ = menu;
  if (menu != nullptr) {
    ApplyMenuSkin(menu);
    // QMenu::triggered also arrives here for items of its sub-menus.
    menu_connection_ = connect(menu, &QMenu::triggered, this, &SoftKeyBar::OnMenuTriggered);
  }
  Describe();
  update();
}

void SoftKeyBar::SetCaptions(const QString& left, const QString& right) {
  left_caption_ = left;
  right_caption_ = right;
  Describe();
  update();
}

void SoftKeyBar::Clear() {
  SetLeftKey(QString(), 0);
  SetRightMenu(QString(), nullptr);
}

void SoftKeyBar::OnMenuTriggered(QAction* action) {
  const int command = MenuCommandOf(action);
  if (command != 0) emit CommandTriggered(command);
}

void SoftKeyBar::PressLeft() {
  // The command decides, not the caption: a language pack without the
  // caption's text must not lock the user out of the key.
  if (left_action_ != nullptr) {
    left_action_->trigger();
    return;
  }
  if (left_command_ == 0) return;
  emit CommandTriggered(left_command_);
}

void SoftKeyBar::PressRight() {
  if (right_menu_ != nullptr) {
    const QSize size = right_menu_->sizeHint();
    const QPoint corner = mapToGlobal(QPoint(width(), 0));
    right_menu_->popup(QPoint(corner.x() - size.width(), corner.y() - size.height()));
    return;
  }
  if (right_command_ != 0) emit CommandTriggered(right_command_);
}

SoftKeyBar::Key SoftKeyBar::KeyAt(const QPoint& point) const {
  if (!rect().contains(point)) return Key::kNone;
  return point.x() < width() / 2 ? Key::kLeft : Key::kRight;
}

void SoftKeyBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  pressed_ = KeyAt(event->position().toPoint());
  update();
}

void SoftKeyBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Key pressed = pressed_;
  pressed_ = Key::kNone;
  update();
  // A key runs only when the finger leaves it where it went down.
  if (pressed == Key::kNone || KeyAt(event->position().toPoint()) != pressed) return;
  if (pressed == Key::kLeft) {
    PressLeft();
  } else {
    PressRight();
  }
}

void SoftKeyBar::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int w = width();
  const int h = height();
  painter.fillRect(rect(), Skin().BackgroundColour());
  DrawBarStrip(painter, Skin().BarStrip(), QRect(0, 0, w, h));
  painter.setFont(Skin().TitleFont());
  const QRect left(0, 0, w / 2, h);
  const QRect right(w / 2, 0, w - w / 2, h);
  painter.setPen(QColor(pressed_ == Key::kLeft ? kPressedCaptionRgb : kTitleTextRgb));
  painter.drawText(left, Qt::AlignCenter | Qt::TextSingleLine, left_caption_);
  painter.setPen(QColor(pressed_ == Key::kRight ? kPressedCaptionRgb : kTitleTextRgb));
  painter.drawText(right, Qt::AlignCenter | Qt::TextSingleLine, right_caption_);
}

}  // namespace vidora
