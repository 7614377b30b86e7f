#ifndef VIDORA_UI_CATALOGUE_CHANNEL_HEALTH_VIEW_H_
#define VIDORA_UI_CATALOGUE_CHANNEL_HEALTH_VIEW_H_

#include <QRect>
#include <QString>

#include <vector>

#include "core/health/health_book.h"

class QPainter;
class QWidget;

namespace vidora {

class Channel;

// How the channel lists show the results of the channel check
// (CurrentHealthBook): a mark in the row, a tooltip and a screen-reader
// text saying why, and hiding the unavailable channels when the user asks.
// UI thread only.

// The channel's health now (nothing checked without a book).
ChannelHealth HealthOf(const Channel& channel);
// Why a dead source counts as dead, as a sentence part ("the server
// refused the connection").
QString DeadReasonText(const SourceCheck& check);
// The row's tooltip: which sources did not answer, when, and why; empty
// when none is known to be dead.
QString HealthTooltip(const Channel& channel);
// For screen readers: "Unavailable" or "1 of 3 sources unavailable";
// empty when none is known to be dead.
QString HealthAccessibleText(const Channel& channel);
// Paints the mark of a channel with dead sources into `box` (a square):
// red for an unavailable channel, amber when some sources still answer.
// Nothing when none is dead.
void PaintHealthMark(QPainter& painter, const QRect& box, const ChannelHealth& health);
// Whether the channel list leaves the channel out: "Hide unavailable
// channels" is on and every source of the channel is dead.
bool HiddenAsUnavailable(const Channel& channel);

// Starts the channel check of `channels` over `owner` (modal; returns when
// it ended). Set by the check's owner, which lives above the lists; null:
// the menus offer no check.
using ChannelCheckRequest = void (*)(QWidget* owner, std::vector<Channel*> channels);
void SetChannelCheckRequest(ChannelCheckRequest request);
ChannelCheckRequest CurrentChannelCheckRequest();

}  // namespace vidora

#endif  // VIDORA_UI_CATALOGUE_CHANNEL_HEALTH_VIEW_H_
