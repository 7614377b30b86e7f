#ifndef VIDORA_CORE_DOCUMENT_FILE_STREAM_H_
#define VIDORA_CORE_DOCUMENT_FILE_STREAM_H_

#include <cstdio>
#include <filesystem>

#include "core/document/byte_stream.h"

namespace vidora {

// A ByteStream over a file. Opening for writing creates the file or
// truncates an existing one. Opening for reading accepts regular files
// only: a folder, FIFO, socket or device counts as missing, and is never
// waited on. The stream owns its handle and closes it when destroyed.
class FileStream : public ByteStream {
 public:
  enum class Mode { kRead, kWrite };

  FileStream() = default;
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;
  ~FileStream() override { Close(); }

  // Returns whether the file could be opened. Reopening closes the old one.
  bool Open(const std::filesystem::path& path, Mode mode);
  // Creates `path` for writing with `permissions`; fails when anything
  // (a file, a symbolic link) already has that name.
  bool CreateNew(const std::filesystem::path& path, unsigned permissions);
  bool IsOpen() const { return file_ != nullptr; }
  // The open file's descriptor, or -1.
  int Descriptor() const;

  uint32_t Write(const void* bytes, uint32_t count) override;
  uint32_t Read(void* buffer, uint32_t count) override;
  uint32_t Seek(int64_t offset, int origin) override;
  uint32_t Size() override;
  uint32_t Reserve(uint32_t size) override;
  uint32_t Position() override;
  void Close() override;

  // Flushes buffered writes and asks the system to put them on disk.
  // Returns false when either step fails.
  bool Sync();

 private:
  std::FILE* file_ = nullptr;
};

}  // namespace vidora

#endif  // VIDORA_CORE_DOCUMENT_FILE_STREAM_H_
