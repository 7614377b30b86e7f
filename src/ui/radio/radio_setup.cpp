#include "ui/radio/radio_setup.h"

#include <QPointer>

#include "core/document/text_codec.h"
#include "core/playlists/playlist_paths.h"
#include "core/stores/settings_store.h"
#include "ui/radio/radio_directory_page.h"

namespace vidora {

void OpenRadioDirectory(QWidget* owner, std::function<void(Channel*)> play) {
  static QPointer<RadioDirectoryPage> open;
  if (open) {  // hidden by Escape, or behind the main window
    open->show();
    open->raise();
    open->activateWindow();
    return;
  }
  RadioDirectoryPage::Options options;
  options.server = Utf16ToUtf8(FindSetting(kRadioDirectoryAddressSetting).value_or(u""));
  options.stations_file = PlaylistFolder().parent_path() / "radio" / "Radio directory.m3u";
  options.favicons = LogoCacheFolder();
  options.play = std::move(play);
  open = new RadioDirectoryPage(owner, std::move(options));
  open->show();
}

}  // namespace vidora
