// The catalogue loader on arbitrary files, plain or scrambled (the reader
// tries both): builds every country and channel, then saves their state.
#include <cstddef>
#include <cstdint>

#include "core/catalogue/channel_catalogue.h"
#include "core/catalogue/loader_warnings.h"
#include "core/document/doc_node.h"
#include "core/stores/message_sink.h"
#include "fuzz_input_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = (vidora::SetMessageSink([](const std::u16string&, const std::u16string&) {}), true);
  (void)quiet;
  vidora::fuzz::InputFile file(data, size);
  if (!file.ok()) return 0;
  vidora::ChannelCatalogue catalogue;
  catalogue.Load(file.path(), nullptr);
  vidora::DocNode state("channels");
  std::vector<vidora::ChannelStateEntry> entries;
  catalogue.SaveChannelState([&entries](const vidora::ChannelStateEntry& entry) { entries.push_back(entry); });
  vidora::AddChannelStateNodes(entries, state);
  catalogue.StepFavourite(true);
  return 0;
}
