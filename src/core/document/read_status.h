#ifndef VIDORA_CORE_DOCUMENT_READ_STATUS_H_
#define VIDORA_CORE_DOCUMENT_READ_STATUS_H_

namespace vidora {

// What became of reading a document (or a catalogue) from bytes.
enum class ReadStatus {
  kOk,
  kNotOpened,    // the file could not be opened
  kBadMagic,     // the root does not start with "QDOC"
  kTruncated,    // the input ended inside a field
  kTooDeep,      // nodes nested deeper than the reader accepts
  kTooLarge,     // a count or length larger than the rest of the input
  kOutOfMemory,  // memory for what the input holds could not be had
};

// A short English name of `status` for logs and test messages.
inline const char* ReadStatusName(ReadStatus status) {
  switch (status) {
    case ReadStatus::kOk: return "ok";
    case ReadStatus::kNotOpened: return "not opened";
    case ReadStatus::kBadMagic: return "bad magic";
    case ReadStatus::kTruncated: return "truncated";
    case ReadStatus::kTooDeep: return "too deep";
    case ReadStatus::kTooLarge: return "too large";
    case ReadStatus::kOutOfMemory: return "out of memory";
  }
  return "unknown";
}

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_READ_STATUS_H_
