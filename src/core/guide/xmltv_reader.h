#ifndef VIDORA_CORE_GUIDE_XMLTV_READER_H_
#define VIDORA_CORE_GUIDE_XMLTV_READER_H_

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "core/guide/guide_store.h"
#include "core/guide/xmltv_time.h"

namespace vidora {

// What reading one guide source came to.
struct GuideReadResult {
  // The whole document was read. When false, `reason` says why, and what
  // was read before the fault stays in the store (`damaged` then tells a
  // guide broken half-way from one that could not be opened at all).
  bool ok = false;
  bool damaged = false;
  std::string reason;
  uint64_t xml_bytes = 0;  // bytes of XML parsed (after inflating)
  size_t programmes = 0;   // programmes this source added
};

// A streaming XMLTV reader (expat): bytes go in piece by piece, each
// programme goes into the store as its element ends, so memory stays
// bounded by the store's caps whatever the file's size. Keeps programmes
// from kGuideDaysBack days before `now` to kGuideDaysAhead after it, with
// their details; a programme without a stop ends where the channel's next
// one starts. Refuses documents that declare entities (expanding entities
// and external ones). One thread at a time.
class XmltvReader {
 public:
  XmltvReader(GuideStore& store, int64_t now);
  ~XmltvReader();
  XmltvReader(const XmltvReader&) = delete;
  XmltvReader& operator=(const XmltvReader&) = delete;

  // Parses the next piece; `last` for the final one. False once the
  // document is found broken (error() says where); later calls then do
  // nothing.
  bool Feed(const char* bytes, size_t count, bool last);
  const std::string& error() const { return error_; }
  size_t programmes() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
  std::string error_;
};

// Reads an XMLTV file, plain or gzip-compressed, into `store` (not
// finished: several sources may go into one store). Refuses anything but a
// regular file without waiting (a FIFO or device never blocks the reader),
// and compressed data that inflates beyond a hundred times its size (a
// gzip bomb). `cancel` (may be null) ends the read within a piece. Any
// thread.
GuideReadResult ReadXmltvFile(const std::filesystem::path& path, GuideStore& store, int64_t now,
                              const std::atomic<bool>* cancel = nullptr);

// The same for bytes in memory (gzip recognised by its magic).
GuideReadResult ReadXmltvBytes(std::string_view bytes, GuideStore& store, int64_t now);

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_XMLTV_READER_H_
