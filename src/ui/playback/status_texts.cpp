#include "ui/playback/status_texts.h"

#include <QString>

#include "core/stores/language_pack.h"

namespace vidora {
namespace {

QString TextOr(std::string_view key, const char16_t* english) {
  const std::u16string& text = GetText(key);
  return text.empty() ? QString::fromUtf16(english) : QString::fromStdU16String(text);
}

std::u16string FailureEnglish(StreamFailure failure) {
  switch (failure) {
    case StreamFailure::kServerNotFound:
      return u"No network, or the server was not found.";
    case StreamFailure::kNoConnection:
      return u"The server refused the connection or did not answer.";
    case StreamFailure::kNotAvailable:
      return u"This channel is not available (error %1).";
    case StreamFailure::kServerError:
      return u"The channel's server has a fault (error %1).";
    case StreamFailure::kBadFormat:
      return u"The stream's format is not supported, or the stream is damaged.";
    case StreamFailure::kNoSoundDevice:
      return u"No sound output device could be opened.";
    case StreamFailure::kNoProviderAddress:
      return u"The provider's page gave no stream address.";
    case StreamFailure::kCannotPlay:
      return u"The stream could not be played.";
    case StreamFailure::kNone:
      break;
  }
  return {};
}

}  // namespace

std::u16string OpeningText() { return TextOr("st_opening", u"Opening\u2026").toStdU16String(); }
std::u16string PlayingText() { return TextOr("st_playing", u"Playing").toStdU16String(); }
std::u16string NoSoundNoteText() {
  return TextOr("st_no_sound_note", u"No sound device: the picture plays without sound.").toStdU16String();
}
std::u16string StoppedText() { return TextOr("st_stopped", u"Stopped").toStdU16String(); }

std::u16string BufferingText(int percent) {
  return TextOr("st_buffering", u"Buffering %1%").arg(percent).toStdU16String();
}

std::u16string ReconnectingText() {
  return TextOr("st_reconnecting", u"Connection lost \u2013 reconnecting\u2026").toStdU16String();
}

std::u16string FailureText(StreamFailure failure, int http_status) {
  if (failure == StreamFailure::kNone) return {};
  const std::u16string english = FailureEnglish(failure);
  QString text = TextOr(FailureTextKey(failure), english.c_str());
  if (text.contains(QLatin1String("%1"))) text = text.arg(http_status);
  return text.toStdU16String();
}

std::u16string SourceText(int index) { return TextOr("str_source", u"source %1").arg(index + 1).toStdU16String(); }

}  // namespace vidora
