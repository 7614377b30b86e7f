#include "core/stores/message_sink.h"

#include <cstdio>

#include "core/document/text_codec.h"

namespace vidora {
namespace {
MessageSink& Sink() {
  static MessageSink sink;
  return sink;
}
thread_local ScopedMessageCapture* t_capture = nullptr;
}  // namespace

ScopedMessageCapture::ScopedMessageCapture() : outer_(t_capture) { t_capture = this; }
ScopedMessageCapture::~ScopedMessageCapture() { t_capture = outer_; }

void SetMessageSink(MessageSink sink) { Sink() = std::move(sink); }

void ShowPlainMessage(const std::u16string& text, const std::u16string& caption) {
  if (t_capture != nullptr) {
    t_capture->messages.emplace_back(text, caption);
    return;
  }
  if (Sink()) {
    Sink()(text, caption);
    return;
  }
  const std::string line = caption.empty() ? Utf16ToUtf8(text) : Utf16ToUtf8(caption) + ": " + Utf16ToUtf8(text);
  std::fprintf(stderr, "%s\n", line.c_str());
}

}  // namespace vidora
