#include "ui/playlists/logo_cache.h"

#include <QBuffer>
#include <QImageReader>

#include <system_error>

#include "core/document/text_codec.h"
#include "core/net/curl_transfer.h"
#include "core/net/http_limits.h"
#include "core/playlists/playlist_document.h"
#include "core/playlists/playlist_import.h"

namespace vidora {
namespace {

constexpr int kParallelFetches = 4;
// Bounds for a list of many thousand channels scrolled through: the oldest
// waiting fetches (rows long scrolled away) are dropped and may be asked
// for again, and decoded logos beyond the limit are let go (the disk cache
// brings them back).
constexpr size_t kMaxWaiting = 256;
constexpr size_t kMaxInMemory = 2000;
// Larger pictures are refused before decoding: a logo needs no more, and a
// small compressed file must not unpack into gigabytes.
constexpr int kMaxSourcePixels = 4096 * 4096;

std::filesystem::path CacheFile(const std::filesystem::path& folder, const std::u16string& address) {
  return folder / ("l" + PlaylistKey(address).substr(2) + ".png");
}

QByteArray Fetch(const std::u16string& address, const std::atomic<bool>* cancel) {
  if (!IsRemotePlaylistSource(address)) {
    std::u16string path = address;
    if (path.starts_with(u"file://")) path.erase(0, 7);
    std::string bytes;
    if (!ReadSmallFile(std::filesystem::path(Utf16ToUtf8(path)), LogoCache::kMaxLogoBytes, bytes)) return {};
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
  }
  HttpGetRequest request;
  request.url = EncodeUrlText(address);
  request.header_lines = {"User-Agent:Vidora"};
  request.max_body_bytes = LogoCache::kMaxLogoBytes;
  request.cancel = cancel;
  const HttpGetResult result = PerformGet(request);
  if (!result.complete || result.status >= 400) return {};
  return QByteArray(result.body.data(), static_cast<qsizetype>(result.body.size()));
}

}  // namespace

QImage DecodeLogo(const QByteArray& bytes, int height) {
  if (bytes.isEmpty() || bytes.size() > static_cast<qsizetype>(LogoCache::kMaxLogoBytes)) return {};
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer);
  const QSize size = reader.size();
  if (!size.isValid() || size.isEmpty() || static_cast<qint64>(size.width()) * size.height() > kMaxSourcePixels) {
    return {};
  }
  if (size.height() > height) {
    reader.setScaledSize(size.scaled(size.width(), height, Qt::KeepAspectRatio)
                             .expandedTo(QSize(1, 1)));
  }
  QImage image = reader.read();
  if (image.isNull()) return {};
  return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

LogoCache::LogoCache(std::filesystem::path folder, QObject* parent, int height)
    : QObject(parent), folder_(std::move(folder)), height_(height) {}

LogoCache::~LogoCache() = default;

const QImage* LogoCache::Find(const std::u16string& address) {
  if (address.empty()) return nullptr;
  auto it = images_.find(address);
  if (it != images_.end()) return it->second.isNull() ? nullptr : &it->second;
  if (asked_.insert(address).second) {
    queue_.push_back(address);
    if (queue_.size() > kMaxWaiting) {
      asked_.erase(queue_.front());
      queue_.pop_front();
    }
    StartNext();
  }
  return nullptr;
}

std::filesystem::path LogoCache::CachedFile(const std::u16string& address) const {
  auto it = files_.find(address);
  return it == files_.end() ? std::filesystem::path() : it->second;
}

void LogoCache::StartNext() {
  while (!queue_.empty() && jobs_.running() < kParallelFetches) {
    const std::u16string address = queue_.front();
    queue_.pop_front();
    const std::filesystem::path folder = folder_;
    const std::atomic<bool>* cancel = jobs_.cancel();
    const int height = height_;
    const bool started = jobs_.Run([this, address, folder, cancel, height]() -> std::function<void()> {
      const std::filesystem::path file = CacheFile(folder, address);
      std::string cached;
      QImage image;
      if (ReadSmallFile(file, kMaxLogoBytes, cached)) {
        image = DecodeLogo(QByteArray(cached.data(), static_cast<qsizetype>(cached.size())), height);
      }
      bool on_disk = !image.isNull();
      if (image.isNull()) {
        image = DecodeLogo(Fetch(address, cancel), height);
        if (!image.isNull()) {
          std::error_code error;
          std::filesystem::create_directories(folder, error);
          // Written under a temporary name first, so a reader never sees
          // half a file.
          const std::filesystem::path temporary = file.string() + ".part";
          if (image.save(QString::fromStdString(temporary.string()), "PNG")) {
            std::filesystem::rename(temporary, file, error);
            on_disk = !error;
          }
        }
      }
      return [this, address, image = std::move(image), file = on_disk ? file : std::filesystem::path()] {
        if (images_.size() >= kMaxInMemory) {
          for (const auto& [known, unused] : images_) asked_.erase(known);
          images_.clear();
          files_.clear();
        }
        images_[address] = image;
        if (!file.empty()) files_[address] = file;
        if (!image.isNull()) emit LogoReady();
        StartNext();
      };
    });
    if (!started) {
      images_[address] = QImage();
    }
  }
}

}  // namespace vidora
