#ifndef VIDORA_CORE_CATALOGUE_LOADER_WARNINGS_H_
#define VIDORA_CORE_CATALOGUE_LOADER_WARNINGS_H_

#include <functional>
#include <string>

#include "core/document/doc_node.h"

namespace vidora {

// How many of a load's per-channel warnings are shown one by one.
inline constexpr int kShownLoaderWarnings = 3;
// The language key of the summary of the rest; "%1" is their number.
inline constexpr char kMoreWarningsTextKey[] = "msg_more_warnings";

// The catalogue loader's per-channel warnings ("Wrong category!", "No
// url!") of one load: the first kShownLoaderWarnings go to the caller's
// sink as they come, the rest are only counted, and Finish shows one
// message saying how many more there were. A catalogue with
// thousands of broken channels thus costs the user four boxes, not
// thousands. Thread of the load.
class LoaderWarnings {
 public:
  using Sink = std::function<void(const std::u16string& text)>;

  void Report(const std::u16string& text, const Sink& show);
  // Shows the summary when warnings were held back, and starts over.
  // `summary` is the kMoreWarningsTextKey text ("%1" = the number).
  void Finish(const Sink& show, std::u16string summary);
  int count() const { return count_; }

 private:
  int count_ = 0;
};

// Whether loading the catalogue document `root` would warn about any
// channel: one whose "c" names none of the fixed categories, or that has no
// source "0". Pure; any thread (the update service checks downloads).
bool CatalogueHasLoaderWarnings(const DocNode& root);

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_LOADER_WARNINGS_H_
