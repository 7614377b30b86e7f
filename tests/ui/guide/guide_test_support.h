#ifndef VIDORA_TESTS_UI_GUIDE_GUIDE_TEST_SUPPORT_H_
#define VIDORA_TESTS_UI_GUIDE_GUIDE_TEST_SUPPORT_H_

#include <gtest/gtest.h>

#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>

#include "core/catalogue/channel.h"
#include "e2e/wait_for.h"
#include "ui/playlists/playlist_manager.h"

namespace vidora::testing {

// Imports the M3U at `list` into `manager`, as the menu does, and returns
// once it is listed and the channel `channel` gives (looked up after the
// import) has its guide's programmes. Fails the test otherwise.
inline void ImportWithGuide(PlaylistManager& manager, const std::filesystem::path& list,
                            const std::function<const Channel*()>& channel) {
  bool imported = false;
  QObject context;  // the connection ends with this call
  QObject::connect(&manager, &PlaylistManager::Imported, &context,
                   [&imported](bool ok, const QString&, const QString&) { imported = ok; });
  manager.AddPlaylistSource(QString::fromStdString(list.string()));
  ASSERT_TRUE(WaitFor([&] { return imported && !manager.busy(); }, 10000, 20));
  ASSERT_TRUE(WaitFor(
      [&] {
        const Channel* found = channel();
        return found != nullptr && !manager.GuideProgrammes(*found).empty();
      },
      10000, 20));
}

}  // namespace vidora::testing

#endif  // VIDORA_TESTS_UI_GUIDE_GUIDE_TEST_SUPPORT_H_
