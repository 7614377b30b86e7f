#include "core/guide/guide_cache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cstring>

#include "core/document/atomic_file.h"

namespace vidora {
namespace {

constexpr char kMagic[8] = {'V', 'I', 'D', 'G', 'U', 'I', 'D', 'E'};
constexpr uint32_t kVersion = 1;
constexpr uint32_t kMaxSources = 1024;
constexpr uint32_t kMaxAddress = 64 * 1024;

// Appends to a file in pieces FileStream takes, keeping the checksum.
class CacheWriter {
 public:
  explicit CacheWriter(FileStream& out) : out_(out) {}
  bool Put(const void* bytes, size_t count) {
    const auto* at = static_cast<const uint8_t*>(bytes);
    while (count > 0) {
      const auto piece = static_cast<uint32_t>(std::min<size_t>(count, 1u << 30));
      crc_ = crc32_z(crc_, at, piece);
      if (out_.Write(at, piece) != piece) return false;
      at += piece;
      count -= piece;
    }
    return true;
  }
  template <typename T>
  bool Value(const T& value) { return Put(&value, sizeof value); }
  uint32_t crc() const { return static_cast<uint32_t>(crc_); }

 private:
  FileStream& out_;
  uLong crc_ = crc32_z(0, nullptr, 0);
};

// Reads from memory or from a file descriptor, keeping the checksum and
// what remains, so no count from the file can make it allocate more than
// the file holds.
class CacheSource {
 public:
  CacheSource(std::string_view bytes) : bytes_(bytes), remaining_(bytes.size()) {}
  CacheSource(int fd, uint64_t size) : fd_(fd), remaining_(size) {}

  bool Get(void* into, size_t count) {
    if (count > remaining_) return false;
    // An empty section may come with no buffer at all (an empty vector's data()).
    if (count == 0) return true;
    auto* at = static_cast<uint8_t*>(into);
    if (fd_ < 0) {
      std::memcpy(at, bytes_.data() + (bytes_.size() - remaining_), count);
    } else {
      size_t done = 0;
      while (done < count) {
        const ssize_t n = ::read(fd_, at + done, count - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
      }
    }
    crc_ = crc32_z(crc_, at, count);
    remaining_ -= count;
    return true;
  }
  template <typename T>
  bool Value(T& value) { return Get(&value, sizeof value); }
  uint64_t remaining() const { return remaining_; }
  uint32_t crc() const { return static_cast<uint32_t>(crc_); }

 private:
  std::string_view bytes_;
  int fd_ = -1;
  uint64_t remaining_;
  uLong crc_ = crc32_z(0, nullptr, 0);
};

std::optional<GuideCacheContent> Parse(CacheSource& in, std::string& reason) {
  char magic[8];
  uint32_t version = 0, record_size = 0, channel_size = 0, source_count = 0;
  GuideCacheContent content;
  if (!in.Get(magic, sizeof magic) || std::memcmp(magic, kMagic, sizeof magic) != 0) {
    reason = "not a guide cache";
    return std::nullopt;
  }
  if (!in.Value(version) || version != kVersion || !in.Value(record_size) || record_size != sizeof(ProgrammeRecord) ||
      !in.Value(channel_size) || channel_size != sizeof(GuideChannel)) {
    reason = "a guide cache of another version";
    return std::nullopt;
  }
  if (!in.Value(content.written_at) || !in.Value(source_count) || source_count > kMaxSources) {
    reason = "damaged header";
    return std::nullopt;
  }
  for (uint32_t i = 0; i < source_count; ++i) {
    GuideSourceStamp stamp;
    uint32_t length = 0;
    if (!in.Value(length) || length > kMaxAddress || length > in.remaining()) {
      reason = "damaged source list";
      return std::nullopt;
    }
    stamp.address.resize(length);
    if (!in.Get(stamp.address.data(), length) || !in.Value(stamp.size) || !in.Value(stamp.modified)) {
      reason = "damaged source list";
      return std::nullopt;
    }
    content.sources.push_back(std::move(stamp));
  }
  uint64_t text_bytes = 0;
  uint32_t channels = 0, names = 0, records = 0;
  if (!in.Value(text_bytes) || !in.Value(channels) || !in.Value(names) || !in.Value(records)) {
    reason = "damaged header";
    return std::nullopt;
  }
  // Every section must fit in what the file still holds, checksum included.
  const uint64_t needed = text_bytes + uint64_t{channels} * sizeof(GuideChannel) + uint64_t{names} * sizeof(TextRef) +
                          uint64_t{records} * sizeof(ProgrammeRecord) + sizeof(uint32_t);
  if (text_bytes > UINT32_MAX || needed != in.remaining()) {
    reason = "cut off or padded";
    return std::nullopt;
  }
  std::string text(text_bytes, '\0');
  std::vector<GuideChannel> channel_list(channels);
  std::vector<TextRef> name_list(names);
  std::vector<ProgrammeRecord> record_list(records);
  if (!in.Get(text.data(), text.size()) || !in.Get(channel_list.data(), channels * sizeof(GuideChannel)) ||
      !in.Get(name_list.data(), names * sizeof(TextRef)) ||
      !in.Get(record_list.data(), records * sizeof(ProgrammeRecord))) {
    reason = "cut off";
    return std::nullopt;
  }
  const uint32_t computed = in.crc();
  uint32_t stored = 0;
  if (!in.Value(stored) || stored != computed) {
    reason = "checksum mismatch";
    return std::nullopt;
  }
  TextArena arena;
  if (!arena.Adopt(std::move(text))) {
    reason = "damaged texts";
    return std::nullopt;
  }
  auto valid_ref = [&arena](TextRef ref) { return arena.IsText(ref); };
  uint64_t covered = 0;
  for (const GuideChannel& c : channel_list) {
    if (c.id == 0 || !valid_ref(c.id) || !valid_ref(c.icon) || uint64_t{c.first_name} + c.name_count > names ||
        c.first != covered || uint64_t{c.first} + c.count > records) {
      reason = "damaged channel table";
      return std::nullopt;
    }
    covered += c.count;
    for (uint32_t i = c.first; i < c.first + c.count; ++i) {
      const ProgrammeRecord& r = record_list[i];
      if (r.stop <= r.start || (i > c.first && r.start < record_list[i - 1].stop)) {
        reason = "programmes out of order";
        return std::nullopt;
      }
      for (TextRef ref : {r.title, r.sub_title, r.episode, r.description, r.categories, r.rating, r.icon, r.catchup_id}) {
        if (!valid_ref(ref)) {
          reason = "damaged programme";
          return std::nullopt;
        }
      }
    }
  }
  for (TextRef ref : name_list) {
    if (!valid_ref(ref)) {
      reason = "damaged names";
      return std::nullopt;
    }
  }
  if (covered != records) {
    reason = "damaged channel table";
    return std::nullopt;
  }
  content.store = std::make_shared<GuideStore>();
  content.store->Adopt(std::move(arena), std::move(channel_list), std::move(name_list), std::move(record_list));
  return content;
}

}  // namespace

bool WriteGuideCache(const std::filesystem::path& path, const GuideStore& store,
                     const std::vector<GuideSourceStamp>& sources, int64_t written_at) {
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  return ReplaceFileAtomically(path, [&](FileStream& out) {
    CacheWriter w(out);
    std::vector<GuideChannel> channels;
    channels.reserve(store.channel_count());
    for (size_t i = 0; i < store.channel_count(); ++i) channels.push_back(store.channel(i));
    bool ok = w.Put(kMagic, sizeof kMagic) && w.Value(kVersion) && w.Value(uint32_t{sizeof(ProgrammeRecord)}) &&
              w.Value(uint32_t{sizeof(GuideChannel)}) && w.Value(written_at) &&
              w.Value(static_cast<uint32_t>(sources.size()));
    for (const GuideSourceStamp& s : sources) {
      ok = ok && w.Value(static_cast<uint32_t>(s.address.size())) && w.Put(s.address.data(), s.address.size()) &&
           w.Value(s.size) && w.Value(s.modified);
    }
    ok = ok && w.Value(static_cast<uint64_t>(store.texts().size())) &&
         w.Value(static_cast<uint32_t>(channels.size())) && w.Value(static_cast<uint32_t>(store.names().size())) &&
         w.Value(static_cast<uint32_t>(store.records().size())) && w.Put(store.texts().bytes().data(), store.texts().size()) &&
         w.Put(channels.data(), channels.size() * sizeof(GuideChannel)) &&
         w.Put(store.names().data(), store.names().size() * sizeof(TextRef)) &&
         w.Put(store.records().data(), store.records().size() * sizeof(ProgrammeRecord));
    const uint32_t crc = w.crc();
    return ok && w.Value(crc);
  });
}

std::optional<GuideCacheContent> ReadGuideCache(const std::filesystem::path& path, std::string* reason) {
  std::string why;
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  std::optional<GuideCacheContent> content;
  if (fd < 0) {
    why = "no guide cache";
  } else if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    why = "not a regular file";
  } else {
    CacheSource source(fd, static_cast<uint64_t>(info.st_size));
    content = Parse(source, why);
  }
  if (fd >= 0) ::close(fd);
  if (!content && reason != nullptr) *reason = why;
  return content;
}

std::optional<GuideCacheContent> ReadGuideCacheBytes(std::string_view bytes, std::string* reason) {
  CacheSource source(bytes);
  std::string why;
  std::optional<GuideCacheContent> content = Parse(source, why);
  if (!content && reason != nullptr) *reason = why;
  return content;
}

}  // namespace vidora
