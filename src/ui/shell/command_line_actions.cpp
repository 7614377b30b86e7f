#include "ui/shell/command_line_actions.h"

#include "core/catalogue/channel_catalogue.h"
#include "ui/shell/main_frame.h"
#include "ui/shell/playlist_sources.h"

namespace vidora {

void ActOnCommandLine(MainFrame& frame, const CommandLineRequests& requests) {
  if (!requests.playlist_sources.isEmpty()) OpenPlaylistSources(frame, requests.playlist_sources);
  if (requests.stream_addresses.isEmpty() || frame.view() == nullptr || Catalogue() == nullptr) return;
  Channel* channel = Catalogue()->MakeAddressChannel(requests.stream_addresses.constLast().toStdU16String());
  frame.view()->PlayChannel(channel);
}

}  // namespace vidora
