#ifndef VIDORA_UI_TRACKS_TRACK_LABELS_H_
#define VIDORA_UI_TRACKS_TRACK_LABELS_H_

#include <QString>

#include <string>

#include "core/tracks/stream_stats.h"
#include "core/tracks/stream_track.h"

namespace vidora {

// A language tag of a stream ("deu", "ger", "de") as the language calls
// itself ("Deutsch"); an unknown tag as it is.
QString LanguageName(const std::string& tag);

// How a track is listed and announced: "Deutsch (AAC 2.0)", "English
// (DVB)", or the stream's title or "Track 3" where it names no language.
QString TrackLabel(const StreamTrack& track);

// The user's list of languages ("de, en") with each language's two- and
// three-letter tags, as streams use either: "de,deu,ger,en,eng".
std::string ExpandLanguages(const QString& list);

// The information overlay's lines for what plays.
QString StatsText(const StreamStats& stats, const QString& source);

}  // namespace vidora

#endif  // VIDORA_UI_TRACKS_TRACK_LABELS_H_
