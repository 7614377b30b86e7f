#ifndef VIDORA_CORE_PLAYLISTS_XMLTV_READER_H_
#define VIDORA_CORE_PLAYLISTS_XMLTV_READER_H_

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "core/playlists/programme_guide.h"

namespace vidora {

// Which programmes an XMLTV read keeps: those of the wanted channels that
// overlap [from, to).
struct GuideRequest {
  // tvg-ids of the playlist channels (matched against <channel id>).
  std::unordered_set<std::string> ids;
  // GuideKey of the channels without a tvg-id, by their lower-case name
  // (matched against <display-name>).
  std::unordered_map<std::string, std::string> names;
  int64_t from = 0;
  int64_t to = 0;
};

// "20240101120000 +0100" (seconds, and the offset, optional) as seconds
// since 1970 UTC; false when it is no XMLTV time.
bool ParseXmltvTime(std::string_view text, int64_t& seconds);

// A streaming XMLTV reader (expat): bytes go in piece by piece, kept
// programmes go into the guide as they end, and nothing else is held, so
// memory stays bounded whatever the file's size. Texts are cut at a few
// kilobytes. One thread at a time.
class XmltvReader {
 public:
  XmltvReader(const GuideRequest& request, ProgrammeGuide& guide);
  ~XmltvReader();
  XmltvReader(const XmltvReader&) = delete;
  XmltvReader& operator=(const XmltvReader&) = delete;

  // Parses the next piece; `last` for the final one. False once the
  // document is found broken (error() says where); later calls then do
  // nothing. Programmes read before the fault stay in the guide.
  bool Feed(const char* bytes, size_t count, bool last);
  const std::string& error() const { return error_; }

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::string error_;
};

// Reads an XMLTV file, plain or gzip-compressed, in pieces of 64 KiB.
// Finishes the guide. False (with `error`, may be null) when the file
// cannot be opened or is broken; what was read before stays. Any thread.
bool ReadXmltvFile(const std::filesystem::path& path, const GuideRequest& request, ProgrammeGuide& guide,
                   std::string* error = nullptr);

// The same for bytes in memory (gzip recognised by its magic).
bool ReadXmltvBytes(std::string_view bytes, const GuideRequest& request, ProgrammeGuide& guide,
                    std::string* error = nullptr);

}  // namespace vidora

#endif  // VIDORA_CORE_PLAYLISTS_XMLTV_READER_H_
