#include "ui/recording/recording_badge.h"

#include <QEvent>

#include "ui/dialogs/passing_warning.h"
#include "ui/recording/recording_controller.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

RecordingBadge::RecordingBadge(QWidget* window, RecordingController* recordings)
    : QLabel(window), recordings_(recordings) {
  setStyleSheet(QStringLiteral("QLabel { color: white; background: #c0392b; padding: 2px 8px; border-radius: 4px; }"));
  setAccessibleName(Text("rec_badge"));
  window->installEventFilter(this);
  connect(recordings_, &RecordingController::Changed, this, &RecordingBadge::Update);
  connect(recordings_, &RecordingController::Message, this, [this](const QString& text, const QString& detail, bool failure) {
    if (!failure) {
      setToolTip(text);
      return;
    }
    ShowPassingWarning(parentWidget(), Text("menu_recordings"), text, detail);
  });
  Update();
}

void RecordingBadge::Update() {
  const int count = recordings_->active_count();
  setText(count > 1 ? QStringLiteral("\u25CF REC %1").arg(count) : QStringLiteral("\u25CF REC"));
  setToolTip(Text("rec_badge_tip").arg(QString::fromStdString(recordings_->folder().string())));
  setVisible(count > 0);
  Place();
}

void RecordingBadge::Place() {
  adjustSize();
  move(parentWidget()->width() - width() - 8, 8);
  raise();
}

bool RecordingBadge::eventFilter(QObject* watched, QEvent* event) {
  if (watched == parentWidget() && event->type() == QEvent::Resize) Place();
  return QLabel::eventFilter(watched, event);
}

}  // namespace vidora
