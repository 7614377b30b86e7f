#ifndef VIDORA_CORE_NET_SERVICE_HOSTS_H_
#define VIDORA_CORE_NET_SERVICE_HOSTS_H_

#include <string>

namespace vidora {

// The servers the player talks to: the text setting of that name when the
// settings hold it (a missing one is not stored), else the build's
// constant. A host may carry a port ("127.0.0.1:8080"). They read the
// settings store, so UI thread only; threads get a copy.

// The publisher's web server (setting PublisherHost).
std::u16string PublisherHost();
// The publisher's mobile web site (setting PublisherSiteHost).
std::u16string PublisherSiteHost();
// The stream provider's web server (setting StreamProviderHost).
std::u16string StreamProviderHost();

}  // namespace vidora

#endif  // VIDORA_CORE_NET_SERVICE_HOSTS_H_
