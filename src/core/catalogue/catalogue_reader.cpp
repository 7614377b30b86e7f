#include "core/catalogue/catalogue_reader.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "core/catalogue/catalogue_scrambler.h"
#include "core/document/byte_stream.h"
#include "core/document/document_format.h"
#include "core/document/file_stream.h"

namespace vidora {
namespace {

// Reads borrowed bytes without copying them: the plain catalogue (the
// common case) is parsed straight from the loaded block.
class BorrowedBytesStream : public ByteStream {
 public:
  BorrowedBytesStream(const uint8_t* bytes, uint32_t count) : bytes_(bytes), size_(count) {}

  uint32_t Write(const void*, uint32_t) override { return 0; }
  uint32_t Read(void* buffer, uint32_t count) override {
    const uint32_t n = std::min(count, size_ - position_);
    if (n == 0 || buffer == nullptr) return 0;
    std::memcpy(buffer, bytes_ + position_, n);
    position_ += n;
    return n;
  }
  uint32_t Seek(int64_t offset, int origin) override {
    const int64_t base = origin == kSeekCurrent ? position_ : origin == kSeekEnd ? size_ : 0;
    position_ = static_cast<uint32_t>(std::clamp<int64_t>(base + offset, 0, size_));
    return position_;
  }
  uint32_t Size() override { return size_; }
  uint32_t Reserve(uint32_t) override { return 0; }
  uint32_t Position() override { return position_; }
  void Close() override {}

 private:
  const uint8_t* bytes_;
  uint32_t size_;
  uint32_t position_ = 0;
};

bool ReadStored(const uint8_t* bytes, uint32_t count, DocNode& document) {
  BorrowedBytesStream stream(bytes, count);
  return ReadDocument(document, stream);
}

// The file carries no mark of scrambling: whatever is not a document as
// stored is tried once more through the key stream.
bool ReadUnscrambled(std::vector<uint8_t>& bytes, DocNode& document) {
  const uint32_t count = static_cast<uint32_t>(bytes.size());
  UnscrambleCatalogue(bytes.data(), count);
  return ReadStored(bytes.data(), count, document);
}

}  // namespace

bool ReadCatalogueBytes(const uint8_t* bytes, uint32_t count, DocNode& document) {
  if (bytes == nullptr) count = 0;
  if (ReadStored(bytes, count, document)) return true;
  std::vector<uint8_t> copy;
  try {
    copy.assign(bytes, bytes + count);
  } catch (const std::bad_alloc&) {
    return false;  // `document` was left empty by the failed read
  }
  return ReadUnscrambled(copy, document);
}

bool ReadCatalogueDocument(const std::filesystem::path& path, DocNode& document) {
  FileStream file;
  if (!file.Open(path, FileStream::Mode::kRead)) return false;
  // The size only sizes the buffer; what counts is what the file really
  // yields, so a file that shrinks while it is read cannot leave
  // uninitialised bytes in the block.
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(file.Size());
  } catch (const std::bad_alloc&) {
    document.Clear();
    document.set_name({});
    return true;  // opened, but too large to be a catalogue this process can hold
  }
  uint32_t filled = 0;
  while (filled < bytes.size()) {
    const uint32_t got = file.Read(bytes.data() + filled, static_cast<uint32_t>(bytes.size()) - filled);
    if (got == 0) break;
    filled += got;
  }
  file.Close();
  bytes.resize(filled);
  // The block is ours, so a scrambled file is unscrambled in place.
  if (!ReadStored(bytes.data(), filled, document)) ReadUnscrambled(bytes, document);
  return true;
}

}  // namespace vidora
