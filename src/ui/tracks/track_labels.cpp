#include "ui/tracks/track_labels.h"

#include <QLocale>
#include <QStringList>

#include <utility>

#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

QString CodecName(const std::string& codec) {
  static const std::pair<const char*, const char*> kNames[] = {
      {"aac", "AAC"},         {"ac3", "AC-3"},      {"eac3", "E-AC-3"},           {"mp2", "MP2"},
      {"mp3", "MP3"},         {"opus", "Opus"},     {"vorbis", "Vorbis"},         {"flac", "FLAC"},
      {"dvb_subtitle", "DVB"}, {"dvb_teletext", "Teletext"}, {"subrip", "SRT"}, {"webvtt", "WebVTT"},
      {"ass", "ASS"},         {"mov_text", "Text"}, {"hdmv_pgs_subtitle", "PGS"}, {"eia_608", "CC"},
      {"h264", "H.264"},      {"hevc", "HEVC"},     {"mpeg2video", "MPEG-2"},     {"mpeg4", "MPEG-4"},
      {"vp9", "VP9"},         {"av1", "AV1"},
  };
  for (const auto& [id, name] : kNames) {
    if (codec == id) return QString::fromLatin1(name);
  }
  return QString::fromStdString(codec).toUpper();
}

QString ChannelLayout(int channels) {
  switch (channels) {
    case 0: return {};
    case 1: return QStringLiteral("1.0");
    case 2: return QStringLiteral("2.0");
    case 6: return QStringLiteral("5.1");
    case 8: return QStringLiteral("7.1");
    default: return QString::number(channels) + QStringLiteral(" ch");
  }
}

QLocale::Language LanguageOf(const QString& tag) {
  return tag.isEmpty() ? QLocale::AnyLanguage : QLocale::codeToLanguage(tag);
}

QString Bitrate(int64_t bits) {
  if (bits <= 0) return QStringLiteral("–");
  if (bits >= 1'000'000) return QString::number(static_cast<double>(bits) / 1e6, 'f', 1) + QStringLiteral(" Mbit/s");
  return QString::number(bits / 1000) + QStringLiteral(" kbit/s");
}

}  // namespace

QString LanguageName(const std::string& tag) {
  const QString code = QString::fromStdString(tag).trimmed().toLower();
  const QLocale::Language language = LanguageOf(code);
  if (language == QLocale::AnyLanguage || language == QLocale::C) return QString::fromStdString(tag);
  // English calls itself after a territory ("American English").
  QString name = language == QLocale::English ? QLocale::languageToString(language) : QLocale(language).nativeLanguageName();
  if (name.isEmpty()) name = QLocale::languageToString(language);
  if (!name.isEmpty()) name[0] = name[0].toUpper();
  return name;
}

QString TrackLabel(const StreamTrack& track) {
  QString name = track.language.empty() ? QString() : LanguageName(track.language);
  const QString title = QString::fromStdString(track.title).trimmed();
  if (name.isEmpty()) {
    name = title.isEmpty() ? Text("track_number").arg(track.id) : title;
  } else if (!title.isEmpty() && title.compare(name, Qt::CaseInsensitive) != 0) {
    name += QStringLiteral(" – ") + title;
  }
  QStringList details;
  if (!track.codec.empty()) details << CodecName(track.codec);
  if (track.kind == TrackKind::kAudio && track.channels > 0) details << ChannelLayout(track.channels);
  return details.isEmpty() ? name : name + QStringLiteral(" (") + details.join(QLatin1Char(' ')) + QLatin1Char(')');
}

std::string ExpandLanguages(const QString& list) {
  QStringList tags;
  for (const QString& part : list.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
    const QString code = part.trimmed().toLower();
    if (code.isEmpty()) continue;
    const QLocale::Language language = LanguageOf(code);
    QStringList forms{code};
    if (language != QLocale::AnyLanguage && language != QLocale::C) {
      for (QLocale::LanguageCodeType type : {QLocale::ISO639Part1, QLocale::ISO639Part2T, QLocale::ISO639Part2B}) {
        forms << QLocale::languageToCode(language, type);
      }
    }
    for (const QString& form : forms) {
      if (!form.isEmpty() && !tags.contains(form)) tags << form;
    }
  }
  return tags.join(QLatin1Char(',')).toStdString();
}

QString StatsText(const StreamStats& stats, const QString& source) {
  QStringList lines;
  if (!stats.video_codec.empty() || stats.width > 0) {
    QString video = CodecName(stats.video_codec);
    if (stats.width > 0 && stats.height > 0) video += QStringLiteral(" %1×%2").arg(stats.width).arg(stats.height);
    if (stats.fps > 0) video += QStringLiteral(" %1 fps").arg(stats.fps, 0, 'f', stats.fps < 30 ? 2 : 1);
    if (stats.interlaced) video += QStringLiteral(" (i)");
    lines << Text("info_video").arg(video, Bitrate(stats.video_bitrate));
  }
  if (!stats.audio_codec.empty()) lines << Text("info_audio").arg(CodecName(stats.audio_codec), Bitrate(stats.audio_bitrate));
  lines << Text("info_dropped").arg(stats.dropped_frames);
  lines << Text("info_buffer").arg(stats.buffered_seconds, 0, 'f', 1);
  if (!source.isEmpty()) lines << Text("info_source").arg(source);
  return lines.join(QLatin1Char('\n'));
}

}  // namespace vidora
