#ifndef VIDORA_UI_PLAYLISTS_LOGO_CACHE_H_
#define VIDORA_UI_PLAYLISTS_LOGO_CACHE_H_

#include <QImage>
#include <QObject>

#include <deque>
#include <filesystem>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "ui/jobs/background_jobs.h"

namespace vidora {

// Channel logos by address: fetched in the background (at most 1 MiB each,
// the HTTP client's time-outs, a few at a time), decoded and scaled to
// kLogoHeight by Qt there, and kept scaled in memory (a bounded number) and
// as PNG files in the cache folder, where later runs find them without the
// network. An address that fails is not asked again while it is
// remembered. The same serves other small pictures (a programme's icon) at
// a height of their own, in a folder of their own. UI thread only.
class LogoCache : public QObject {
  Q_OBJECT

 public:
  static constexpr int kLogoHeight = 64;
  static constexpr uint32_t kMaxLogoBytes = 1u << 20;

  // Pictures are scaled to `height` (not larger than they were).
  explicit LogoCache(std::filesystem::path folder, QObject* parent = nullptr, int height = kLogoHeight);
  ~LogoCache() override;

  // The logo, or nullptr while it is not (or cannot be) there; the first
  // ask starts fetching it. Borrowed until the cache goes away.
  const QImage* Find(const std::u16string& address);
  // The cache folder's PNG of the logo once it is there (read from the
  // folder or fetched and written this run); empty until then. Asks for
  // nothing: Find starts the fetch.
  std::filesystem::path CachedFile(const std::u16string& address) const;
  // Whether a fetch is queued or running.
  bool busy() const { return !queue_.empty() || jobs_.running() > 0; }

 signals:
  // A logo arrived; views showing logos repaint.
  void LogoReady();

 private:
  void StartNext();

  std::filesystem::path folder_;
  int height_;
  std::unordered_map<std::u16string, QImage> images_;
  std::unordered_map<std::u16string, std::filesystem::path> files_;
  std::unordered_set<std::u16string> asked_;
  std::deque<std::u16string> queue_;
  BackgroundJobs jobs_{this};
};

// Decodes an image of at most kMaxLogoBytes and scales it to `height`
// (not larger than it was); null when it is no picture or too large to
// decode safely. Any thread.
QImage DecodeLogo(const QByteArray& bytes, int height = LogoCache::kLogoHeight);

}  // namespace vidora

#endif  // VIDORA_UI_PLAYLISTS_LOGO_CACHE_H_
