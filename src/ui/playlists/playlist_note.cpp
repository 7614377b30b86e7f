#include "ui/playlists/playlist_note.h"

#include <QLabel>
#include <QMessageBox>
#include <QTimer>

#include <algorithm>

#include "core/stores/language_pack.h"
#include "ui/lifecycle/app_closing.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

constexpr char kNoteName[] = "playlist_note";
constexpr int kNoteMs = 6000;

}  // namespace

void ShowPlaylistNote(QWidget* window, const QString& text, const QString& detail) {
  if (window == nullptr || AppClosing()) return;
  auto* note = window->findChild<QLabel*>(QLatin1String(kNoteName), Qt::FindDirectChildrenOnly);
  if (note == nullptr) {
    note = new QLabel(window);
    note->setObjectName(QLatin1String(kNoteName));
    note->setWordWrap(true);
    note->setMargin(8);
    note->setTextFormat(Qt::PlainText);
    note->setStyleSheet(QStringLiteral("background: rgba(20, 20, 30, 210); color: white; border-radius: 4px;"));
    auto* timer = new QTimer(note);
    timer->setObjectName(QStringLiteral("hide_timer"));
    timer->setSingleShot(true);
    QObject::connect(timer, &QTimer::timeout, note, &QWidget::hide);
  }
  note->setText(text);
  note->setToolTip(detail);
  note->setAccessibleName(text);
  const int width = std::max(100, window->width() - 40);
  note->setFixedWidth(width);
  note->adjustSize();
  note->move(20, 20);
  note->raise();
  note->show();
  if (auto* timer = note->findChild<QTimer*>(QStringLiteral("hide_timer"))) timer->start(kNoteMs);
}

void ShowPlaylistFailure(QWidget* owner, const QString& text, const QString& detail) {
  if (AppClosing()) return;
  QMessageBox box(owner);
  box.setTextFormat(Qt::PlainText);
  box.setText(text);
  box.setToolTip(detail);
  box.setWindowTitle(ToQString(AppTitle()));
  box.setStandardButtons(QMessageBox::Ok);
  box.exec();
}

}  // namespace vidora
