#ifndef VIDORA_CORE_GUIDE_GUIDE_MATCH_LIST_H_
#define VIDORA_CORE_GUIDE_GUIDE_MATCH_LIST_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vidora {

// What a playlist channel offers for finding its guide channel.
struct GuideMatchInput {
  std::string_view tvg_id;
  std::string_view tvg_name;
  std::string_view name;
  // A guide channel id the user chose ("Choose guide channel…"), or empty.
  std::string_view chosen;
};

// The inputs of the channels to match, read by index, any number of times
// and on any one thread at a time.
class GuideMatchSource {
 public:
  virtual ~GuideMatchSource() = default;
  virtual size_t size() const = 0;
  // The inputs of channel `i`. The views may point into `scratch`, room
  // for texts made for the call; they stay valid until the next call with
  // the same scratch.
  virtual GuideMatchInput Input(size_t i, std::string& scratch) const = 0;
};

// The inputs of many channels, packed: their texts back to back in one
// string and four 32-bit ends each, instead of four strings a channel
// (about 20 bytes a channel beside the texts, where separate strings take
// 128 and a heap block for most). The views an entry gives stay valid
// until the next Add. Made on one thread, then only read (any thread).
class GuideMatchList : public GuideMatchSource {
 public:
  void Reserve(size_t channels, size_t text_bytes) {
    texts_.reserve(text_bytes);
    ends_.reserve(channels * kFields);
  }
  void Add(const GuideMatchInput& input) {
    for (std::string_view text : {input.tvg_id, input.tvg_name, input.name, input.chosen}) {
      texts_.append(text);
      ends_.push_back(static_cast<uint32_t>(texts_.size()));
    }
  }
  size_t size() const override { return ends_.size() / kFields; }
  GuideMatchInput Input(size_t i, std::string& /*scratch*/) const override {
    const size_t at = i * kFields;
    return GuideMatchInput{Field(at), Field(at + 1), Field(at + 2), Field(at + 3)};
  }

 private:
  static constexpr size_t kFields = 4;
  std::string_view Field(size_t at) const {
    const uint32_t begin = at == 0 ? 0 : ends_[at - 1];
    return std::string_view(texts_).substr(begin, ends_[at] - begin);
  }

  std::string texts_;
  std::vector<uint32_t> ends_;
};

}  // namespace vidora

#endif  // VIDORA_CORE_GUIDE_GUIDE_MATCH_LIST_H_
