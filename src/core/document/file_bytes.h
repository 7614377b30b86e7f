#ifndef VIDORA_CORE_DOCUMENT_FILE_BYTES_H_
#define VIDORA_CORE_DOCUMENT_FILE_BYTES_H_

#include <cstdint>
#include <filesystem>

#include "core/document/file_stream.h"

namespace vidora {

// A whole file read into memory with one read, for parsers that pass over
// the bytes once. The block is a private anonymous mapping (MapLargeBlock,
// so filling it costs few page faults), so a parser can
// hand the pages it has finished with back to the system while it goes on
// (Release), which keeps a large file from staying resident next to what
// is built from it. The file is opened through FileStream::Open, the one
// place where data files are opened. Not thread-safe.
class FileBytes {
 public:
  FileBytes() = default;
  FileBytes(const FileBytes&) = delete;
  FileBytes& operator=(const FileBytes&) = delete;
  ~FileBytes();

  // Opens `path` and reads it, giving back what an earlier read held.
  // False when it cannot be opened; the object is then empty. A file
  // larger than 4 GiB is read up to its first 4 GiB less one byte (sizes
  // of the format are 32-bit); when memory for it cannot be had, the
  // block is empty. Only the bytes the file really yields count, so a
  // file that shrinks meanwhile leaves no uninitialised bytes.
  bool Read(const std::filesystem::path& path);
  // Reads the still open file again from its start, undoing Release and
  // any change made to the block. False when the file yields fewer bytes.
  bool Reread();

  uint8_t* data() { return block_; }
  uint32_t size() const { return size_; }

  // Gives the pages wholly before `offset` back to the system; reading
  // them afterwards yields zeros until Reread. Cheap to call often.
  void Release(uint32_t offset);
  // Gives the whole block back and closes the file: the object is then
  // empty, as if nothing had been read.
  void Free();
  // Whether Release gave anything back since the last read.
  bool released() const { return released_ > 0; }

 private:
  bool Fill();

  FileStream file_;
  uint8_t* block_ = nullptr;
  size_t mapped_ = 0;
  uint32_t size_ = 0;
  uint32_t released_ = 0;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_FILE_BYTES_H_
