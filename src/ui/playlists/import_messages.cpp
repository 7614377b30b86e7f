#include "ui/playlists/import_messages.h"

#include <QLocale>

#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

QString Number(size_t value) { return QLocale().toString(static_cast<qulonglong>(value)); }

}  // namespace

QString ImportFailureText(const PlaylistImport& result) {
  switch (result.failure) {
    case ImportFailure::kWebPage:
      return result.reason.empty() ? Text("msg_import_web_page")
                                   : Text("msg_import_web_page_titled").arg(QString::fromStdString(result.reason));
    case ImportFailure::kEmpty:
      return Text("msg_import_empty");
    case ImportFailure::kBinary:
      return Text("msg_import_binary");
    case ImportFailure::kDownload:
      return Text("msg_import_download");
    case ImportFailure::kUnreadable:
      return Text("msg_import_unreadable");
    case ImportFailure::kNoChannels:
      return Text("msg_import_no_channels");
    case ImportFailure::kNotPlaylist:
      return Text("msg_import_not_playlist");
    case ImportFailure::kWrite:
      return Text("msg_import_write");
    case ImportFailure::kStream:
    case ImportFailure::kNone:
      break;
  }
  return Text("msg_playlist_failed");
}

QString ImportSummaryText(const PlaylistImport& result) {
  const size_t skipped = result.skipped_lines + result.dropped_entries;
  QString text = Text("msg_import_added")
                     .arg(QString::fromStdU16String(result.name), Number(result.channels), Number(skipped));
  if (result.shortened_entries > 0 || result.dropped_entries > 0) {
    text += QLatin1Char(' ') +
            Text("msg_import_cut").arg(Number(result.shortened_entries), Number(result.dropped_entries));
  }
  return text;
}

QString RefreshFailureText(size_t failed) { return Text("msg_refresh_failed").arg(Number(failed)); }

}  // namespace vidora
