#include "ui/dialogs/skinned_dialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "ui/dialogs/dialog_colours.h"
#include "ui/dialogs/skin_strip.h"
#include "ui/dialogs/soft_key_bar.h"
#include "ui/skin/resource_pack.h"
#include "ui/texts/ui_texts.h"
#include "ui/lifecycle/ui_thread.h"

namespace vidora {

namespace {

// The Done button of a full-screen dialog, drawn on the title strip as the
// desktop's close control: a "×" in a square frame of the skin's frame pen;
// while pressed or under the mouse, dark on the frame colour. It keeps the
// Done command (kDoneCommand), which each dialog gives its own meaning; the
// tooltip says what that is for the user.
class TitleDoneButton : public QAbstractButton {
 public:
  explicit TitleDoneButton(QWidget* parent) : QAbstractButton(parent) {
    setText(QString(QChar(0x00D7)));
    setFont(Skin().TitleFont());
    setFocusPolicy(Qt::NoFocus);
    setObjectName(QStringLiteral("done"));
    setToolTip(Text("tip_close"));
    setAccessibleName(Text("tip_close"));
    setAttribute(Qt::WA_Hover);
  }

  QSize sizeHint() const override {
    const int side = BarUnit() - 2 * BarGap();
    return QSize(side, side);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect outline(0, 0, width() - 1, height() - 1);
    const bool lit = isDown() || underMouse();
    if (lit) painter.fillRect(rect(), Skin().FramePen().color());
    painter.setPen(Skin().FramePen());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline);
    painter.setPen(lit ? Skin().BackgroundColour() : QColor(kTitleTextRgb));
    painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text());
  }
};

}  // namespace

SkinnedDialog::SkinnedDialog(QWidget* owner, Size size) : QDialog(owner), size_(size) {
  AssertUiThread();
  ApplyDialogColours(this);
  if (size_ == Size::kFullScreen) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    done_ = new TitleDoneButton(this);
    connect(done_, &QAbstractButton::clicked, this, [this] { RunCommand(kDoneCommand); });
  }
}

QRect SkinnedDialog::ClientRect() const {
  const int bar = soft_keys_ != nullptr ? soft_keys_->height() : 0;
  return QRect(0, 0, width(), std::max(0, height() - bar));
}

SoftKeyBar* SkinnedDialog::SoftKeys() {
  if (soft_keys_ == nullptr) {
    soft_keys_ = new SoftKeyBar(this);
    connect(soft_keys_, &SoftKeyBar::CommandTriggered, this, &SkinnedDialog::RunCommand);
    PlaceFrameChildren();
    soft_keys_->show();
    LayoutClient(ClientRect().width(), ClientRect().height());
  }
  return soft_keys_;
}

void SkinnedDialog::RunCommand(int command) {
  AssertUiThread();
  if (HandleCommand(command)) return;
  if (command == kDoneCommand || command == ID_SOFTKEY_LEFT) {
    done(1);
  } else if (command == kCancelCommand || command == ID_SOFTKEY_RIGHT) {
    done(2);
  }
}

bool SkinnedDialog::HandleCommand(int) { return false; }

void SkinnedDialog::LayoutClient(int, int) {}

void SkinnedDialog::setVisible(bool visible) {
  if (visible && !placed_ && size_ == Size::kFullScreen) {
    placed_ = true;
    QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
    QRect area;
    if (owner != nullptr && owner->isVisible()) {
      area = owner->geometry();
    } else if (QScreen* screen = QGuiApplication::primaryScreen()) {
      // Without a window to cover (the first-run dialog at start-up) the
      // dialog takes the main window's default proportions, centred,
      // rather than a whole desktop screen.
      const QRect available = screen->availableGeometry();
      area = QRect(QPoint(), kOwnerlessSize.boundedTo(available.size()));
      area.moveCenter(available.center());
    }
    if (!area.isEmpty()) setGeometry(area);
  }
  const bool was_active = !visible && isActiveWindow();
  QDialog::setVisible(visible);
  QWidget* owner = parentWidget() != nullptr ? parentWidget()->window() : nullptr;
  if (was_active && owner != nullptr && owner->isVisible()) {
    // The keys go back to the window below. Without a window manager to
    // do it (a bare X session, a kiosk) they would go nowhere, and F1, F2
    // and every other key of that window would be lost.
    owner->activateWindow();
  }
}

void SkinnedDialog::PlaceFrameChildren() {
  if (done_ != nullptr) {
    const int u = BarUnit();
    const QSize size = done_->sizeHint();
    done_->setGeometry(width() - size.width() - BarGap(), (u - size.height()) / 2, size.width(), size.height());
    done_->raise();
  }
  if (soft_keys_ != nullptr) {
    const int h = SoftKeyBar::BarHeight();
    soft_keys_->setGeometry(0, height() - h, width(), h);
  }
}

void SkinnedDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  PlaceFrameChildren();
  const QRect client = ClientRect();
  LayoutClient(client.width(), client.height());
}

void SkinnedDialog::closeEvent(QCloseEvent* event) {
  // A close request is a cancel, which the dialog may refuse.
  event->ignore();
  RunCommand(kCancelCommand);
}

void SkinnedDialog::keyPressEvent(QKeyEvent* event) {
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  const bool plain = (event->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier)).toInt() == 0;
  if (enter && plain) {
    // The keyboard's way to the dialog's main action, which otherwise
    // only a tap on the painted soft key reaches.
    if (soft_keys_ != nullptr && soft_keys_->LeftCommand() != 0) {
      event->accept();
      soft_keys_->PressLeft();
      return;
    }
    if (done_ != nullptr) {
      event->accept();
      RunCommand(kDoneCommand);
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

void SkinnedDialog::reject() { RunCommand(kCancelCommand); }

void SkinnedDialog::accept() { RunCommand(kDoneCommand); }

}  // namespace vidora
