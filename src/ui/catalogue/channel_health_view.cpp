#include "ui/catalogue/channel_health_view.h"

#include <QDateTime>
#include <QLocale>
#include <QPainter>

#include <algorithm>
#include <ctime>

#include "core/catalogue/channel.h"
#include "core/health/health_settings.h"
#include "core/stores/settings_store.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

ChannelCheckRequest current_request = nullptr;

constexpr QRgb kUnavailableRgb = qRgb(190, 30, 30);
constexpr QRgb kPartlyDeadRgb = qRgb(215, 130, 0);

int64_t Now() { return static_cast<int64_t>(std::time(nullptr)); }

}  // namespace

ChannelHealth HealthOf(const Channel& channel) {
  const HealthBook* book = CurrentHealthBook();
  if (book == nullptr) {
    ChannelHealth none;
    none.sources = static_cast<int>(channel.sources().size());
    return none;
  }
  return book->Judge(channel, Now());
}

QString DeadReasonText(const SourceCheck& check) {
  switch (check.reason) {
    case DeadReason::kRefused:
      return Text("str_dead_refused");
    case DeadReason::kNoHost:
      return Text("str_dead_no_host");
    case DeadReason::kNoAnswer:
      return Text("str_dead_no_answer");
    case DeadReason::kTooSlow:
      return Text("str_dead_too_slow");
    case DeadReason::kHttpStatus:
      return Text("str_dead_status").arg(check.http_status);
    case DeadReason::kWebPage:
      return Text("str_dead_web_page");
    case DeadReason::kEmpty:
      return Text("str_dead_empty");
    case DeadReason::kNoSegment:
      return Text("str_dead_no_segment");
    case DeadReason::kSegmentFailed:
      return Text("str_dead_segment");
    case DeadReason::kNone:
    case DeadReason::kFailed:
      break;
  }
  return Text("str_dead_failed");
}

QString HealthTooltip(const Channel& channel) {
  const ChannelHealth health = HealthOf(channel);
  if (health.dead == 0 || health.first_dead_check == nullptr) return QString();
  const QString when = QLocale().toString(
      QDateTime::fromSecsSinceEpoch(health.first_dead_check->checked_at), QLocale::ShortFormat);
  const QString why = DeadReasonText(*health.first_dead_check);
  if (health.unavailable()) return Text("str_health_tip_unavailable").arg(when, why);
  return Text("str_health_tip_some_dead").arg(health.dead).arg(health.sources).arg(when, why);
}

QString HealthAccessibleText(const Channel& channel) {
  const ChannelHealth health = HealthOf(channel);
  if (health.dead == 0) return QString();
  if (health.unavailable()) return Text("acc_unavailable");
  return Text("acc_some_sources_dead").arg(health.dead).arg(health.sources);
}

void PaintHealthMark(QPainter& painter, const QRect& box, const ChannelHealth& health) {
  if (health.dead == 0) return;
  // A no-entry sign, drawn rather than taken from a font, so that it shows
  // with every skin font.
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(health.unavailable() ? kUnavailableRgb : kPartlyDeadRgb));
  const int side = std::min(box.width(), box.height());
  const QRect circle(box.center().x() - side / 2, box.center().y() - side / 2, side, side);
  painter.drawEllipse(circle);
  painter.setBrush(QColor(255, 255, 255));
  const int bar = std::max(2, side / 5);
  painter.drawRect(QRect(circle.left() + side / 5, circle.center().y() - bar / 2, side - 2 * (side / 5), bar));
  painter.restore();
}

bool HiddenAsUnavailable(const Channel& channel) {
  return CurrentHealthBook() != nullptr && !CurrentHealthBook()->empty() && GetSetting(kHideUnavailableSetting) &&
         HealthOf(channel).unavailable();
}

void SetChannelCheckRequest(ChannelCheckRequest request) { current_request = request; }
ChannelCheckRequest CurrentChannelCheckRequest() { return current_request; }

}  // namespace vidora
