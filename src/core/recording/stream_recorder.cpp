#include "core/recording/stream_recorder.h"

#include <curl/curl.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <optional>
#include <system_error>

#include "core/recording/hls_playlist.h"
#include "core/recording/recording_folder.h"
#include "core/stores/app_paths.h"

namespace vidora {
namespace {

namespace fs = std::filesystem;

// A stream that sends nothing for this long has dropped.
constexpr long kStallSeconds = 10;
// A source that gave nothing for this long is given up.
constexpr int64_t kGiveUpSeconds = 300;
// Free space is looked at again after this many bytes.
constexpr uint64_t kSpaceCheckBytes = 4u << 20;
// Bounds for playlist texts.
constexpr size_t kMaxPlaylistBytes = 2u << 20;

int64_t Now() {
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool StartsWith(std::string_view text, std::string_view start) { return text.substr(0, start.size()) == start; }

}  // namespace

// One recording's file and transfers, on the recorder's thread.
class StreamRecorder::Session {
 public:
  enum class Fetch { kComplete, kDropped, kStopped, kWriteFailed };

  Session(StreamRecorder& owner) : owner_(owner), request_(owner.request_) {}
  ~Session() {
    if (fd_ >= 0) close(fd_);
  }

  RecordingResult Record() {
    part_ = PartPathFor(request_.final_path);
    std::error_code error;
    fs::create_directories(request_.final_path.parent_path(), error);
    fd_ = open(part_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd_ < 0) return Fail(RecordingEnd::kNotWritable, std::strerror(errno));
    if (FreeBytesAt(part_.parent_path()) < request_.min_free_bytes) return Finish(RecordingEnd::kDiskFull);
    last_data_ = Now();
    while (true) {
      if (const std::optional<RecordingEnd> end = Over()) return Finish(*end);
      std::string playlist;
      const Fetch fetch = Get(request_.address, &playlist);
      if (fetch == Fetch::kWriteFailed) return Finish(RecordingEnd::kDiskFull);
      if (!playlist.empty()) {
        if (const std::optional<RecordingEnd> end = RecordHls(request_.address, playlist)) return Finish(*end);
      }
      if (const std::optional<RecordingEnd> end = Over()) return Finish(*end);
      if (Now() - last_data_ > kGiveUpSeconds) return Finish(RecordingEnd::kSourceFailed);
      Gap("the stream dropped; reconnecting");
      Pause(std::min(1 << std::min(retries_++, 3), 5));
    }
  }

 private:
  struct Sink {
    Session* session;
    std::string* text;  // the playlist, when the answer is one; else null
    bool sniffed = false;
    std::string head;   // the first bytes, until it is known what they are
    bool write_failed = false;
  };

  std::optional<RecordingEnd> Over() const {
    if (owner_.stop_) return RecordingEnd::kStopped;
    if (request_.stop_at > 0 && Now() >= request_.stop_at) return RecordingEnd::kTimeReached;
    return std::nullopt;
  }

  void Gap(const std::string& what) {
    ++gaps_;
    if (owner_.on_gap_) owner_.on_gap_(what);
  }

  // Waits `seconds`, ending early when the recording is over.
  void Pause(double seconds) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(static_cast<int>(seconds * 1000));
    while (std::chrono::steady_clock::now() < until && !Over()) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }

  bool Write(const char* data, size_t size) {
    while (size > 0) {
      const ssize_t written = write(fd_, data, size);
      if (written < 0) {
        if (errno == EINTR) continue;
        detail_ = std::strerror(errno);
        return false;
      }
      data += written;
      size -= static_cast<size_t>(written);
      owner_.bytes_ += static_cast<uint64_t>(written);
      since_space_check_ += static_cast<uint64_t>(written);
    }
    last_data_ = Now();
    retries_ = 0;
    if (since_space_check_ >= kSpaceCheckBytes) {
      since_space_check_ = 0;
      if (FreeBytesAt(part_.parent_path()) < request_.min_free_bytes) {
        detail_ = "free space below the limit";
        return false;
      }
    }
    return true;
  }

  // Takes the answer's bytes: into `text` while they are a playlist,
  // else into the file.
  static size_t OnData(char* data, size_t size, size_t count, void* context) {
    auto* sink = static_cast<Sink*>(context);
    const size_t bytes = size * count;
    if (!sink->sniffed) {
      sink->head.append(data, bytes);
      if (sink->head.size() < 7 && sink->text != nullptr) return bytes;
      sink->sniffed = true;
      std::string_view head(sink->head);
      if (StartsWith(head, "\xEF\xBB\xBF")) head.remove_prefix(3);
      if (sink->text == nullptr || !StartsWith(head, "#EXTM3U")) sink->text = nullptr;
      const std::string first = std::move(sink->head);
      return Take(sink, first.data(), first.size()) ? bytes : 0;
    }
    return Take(sink, data, bytes) ? bytes : 0;
  }

  static bool Take(Sink* sink, const char* data, size_t size) {
    if (sink->text != nullptr) {
      if (sink->text->size() + size > kMaxPlaylistBytes) return false;
      sink->text->append(data, size);
      return true;
    }
    if (!sink->session->Write(data, size)) {
      sink->write_failed = true;
      return false;
    }
    return true;
  }

  static int OnProgress(void* context, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    return static_cast<Session*>(context)->Over() ? 1 : 0;
  }

  // GETs `url`. With `playlist`, an answer that is an HLS playlist ends up
  // there (and nothing is written); any other answer goes to the file.
  Fetch Get(const std::string& url, std::string* playlist) {
    CURL* curl = curl_easy_init();
    if (curl == nullptr) return Fetch::kDropped;
    Sink sink{this, playlist, false, {}, false};
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(curl, CURLOPT_MAXREDIRS, 8L);
    // A server may only redirect to the network, never to a local file.
    curl_easy_setopt(curl, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_LIMIT, 1L);
    curl_easy_setopt(curl, CURLOPT_LOW_SPEED_TIME, kStallSeconds);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Session::OnData);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &sink);
    curl_easy_setopt(curl, CURLOPT_XFERINFOFUNCTION, &Session::OnProgress);
    curl_easy_setopt(curl, CURLOPT_XFERINFODATA, this);
    curl_easy_setopt(curl, CURLOPT_NOPROGRESS, 0L);
    if (!request_.user_agent.empty()) curl_easy_setopt(curl, CURLOPT_USERAGENT, request_.user_agent.c_str());
    if (!request_.referrer.empty()) curl_easy_setopt(curl, CURLOPT_REFERER, request_.referrer.c_str());
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_cleanup(curl);
    // A short answer never filled the sniffing window.
    if (!sink.sniffed && !sink.head.empty() && code == CURLE_OK) {
      if (playlist != nullptr && StartsWith(sink.head, "#EXTM3U")) *playlist = sink.head;
      else if (!Write(sink.head.data(), sink.head.size())) return Fetch::kWriteFailed;
    }
    if (sink.write_failed) return Fetch::kWriteFailed;
    if (code == CURLE_OK) return Fetch::kComplete;
    if (Over()) return Fetch::kStopped;
    if (playlist != nullptr) playlist->clear();
    detail_ = curl_easy_strerror(code);
    return Fetch::kDropped;
  }

  // Follows an HLS stream from its live edge, segment after segment. None
  // when the stream dropped for longer than a playlist refresh (the caller
  // reconnects).
  std::optional<RecordingEnd> RecordHls(std::string url, const std::string& first_text) {
    HlsPlaylist playlist = ReadHlsPlaylist(first_text, url);
    if (!playlist.variants.empty()) {
      url = playlist.variants.front();
      std::string text;
      if (Get(url, &text) != Fetch::kComplete) return std::nullopt;
      playlist = ReadHlsPlaylist(text, url);
    }
    int64_t last = -1;
    while (true) {
      size_t next = 0;
      while (next < playlist.segments.size() && playlist.segments[next].sequence <= last) ++next;
      // A new recording starts at the live edge.
      if (last < 0 && !playlist.segments.empty()) next = playlist.segments.size() - 1;
      if (last >= 0 && next < playlist.segments.size() && playlist.segments[next].sequence > last + 1) {
        Gap("segments missed: " + std::to_string(playlist.segments[next].sequence - last - 1));
      }
      for (; next < playlist.segments.size(); ++next) {
        if (const std::optional<RecordingEnd> end = Over()) return end;
        const Fetch fetch = Get(playlist.segments[next].address, nullptr);
        if (fetch == Fetch::kWriteFailed) return RecordingEnd::kDiskFull;
        if (fetch == Fetch::kDropped) Gap("a segment could not be read: " + detail_);
        last = playlist.segments[next].sequence;
      }
      if (playlist.ended) return RecordingEnd::kSourceEnded;
      Pause(std::clamp(playlist.target_seconds / 2, 0.5, 10.0));
      if (const std::optional<RecordingEnd> end = Over()) return end;
      std::string text;
      int failures = 0;
      while (Get(url, &text) != Fetch::kComplete || !ReadHlsPlaylist(text, url).valid) {
        if (const std::optional<RecordingEnd> end = Over()) return end;
        if (Now() - last_data_ > kGiveUpSeconds) return RecordingEnd::kSourceFailed;
        if (failures++ == 0) Gap("the playlist could not be read; retrying");
        text.clear();
        Pause(std::min(1 << std::min(failures, 3), 5));
      }
      playlist = ReadHlsPlaylist(text, url);
    }
  }

  RecordingResult Fail(RecordingEnd end, std::string detail) {
    RecordingResult result;
    result.end = end;
    result.detail = std::move(detail);
    return result;
  }

  RecordingResult Finish(RecordingEnd end) {
    RecordingResult result;
    result.end = end;
    result.gaps = gaps_;
    result.bytes = owner_.bytes_;
    result.detail = end == RecordingEnd::kStopped || end == RecordingEnd::kTimeReached ? std::string() : detail_;
    if (fd_ >= 0) {
      fsync(fd_);
      close(fd_);
      fd_ = -1;
    }
    std::error_code error;
    if (result.bytes == 0) {
      fs::remove(part_, error);
      return result;
    }
    const fs::path target = UnusedPath(request_.final_path);
    fs::rename(part_, target, error);
    result.path = error ? part_ : target;
    return result;
  }

  StreamRecorder& owner_;
  const RecordingRequest& request_;
  fs::path part_;
  int fd_ = -1;
  int gaps_ = 0;
  int retries_ = 0;
  int64_t last_data_ = 0;
  uint64_t since_space_check_ = 0;
  std::string detail_;
};

StreamRecorder::StreamRecorder(RecordingRequest request, GapListener on_gap, EndListener on_end)
    : request_(std::move(request)), on_gap_(std::move(on_gap)), on_end_(std::move(on_end)) {
  thread_ = std::thread([this] { Run(); });
}

StreamRecorder::~StreamRecorder() {
  Stop();
  Join();
}

void StreamRecorder::Join() {
  if (thread_.joinable()) thread_.join();
}

void StreamRecorder::Run() {
  RecordingResult result;
  {
    Session session(*this);
    result = session.Record();
  }
  if (on_end_) on_end_(result);
}

}  // namespace vidora
