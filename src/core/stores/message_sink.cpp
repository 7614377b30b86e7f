#include "core/stores/message_sink.h"

#include <cstdio>

#include "core/document/text_codec.h"

namespace vidora {
namespace {
MessageSink& Sink() {
  static MessageSink sink;
  return sink;
}
}  // namespace

void SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }

void ShowPlainMessage(const std::u16string& text, const std::u16string& caption) {
  if (Sink()) {
    Sink()(text, caption);
    return;
  }
  const std::string line = caption.empty() ? Utf16ToUtf8(text) : Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text);
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace vidora
