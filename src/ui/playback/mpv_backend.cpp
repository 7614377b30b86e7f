#include "ui/playback/mpv_backend.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QMetaObject>
#include <QString>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstring>
#include <string_view>

#include "core/playback/player_events.h"

namespace vidora {
namespace {

// Any other failure of a stream: it could not be played.
constexpr uint32_t kMediaErrorCannotPlay = 0xC00D1199;

constexpr uint64_t kReplyLoad = 1;
constexpr uint64_t kObservePausedForCache = 1;
constexpr uint64_t kObserveCacheState = 2;
constexpr uint64_t kObserveIdle = 3;

// Live streams drop; these let the network layer reconnect by itself
// instead of ending the channel at the first hiccup.
constexpr char kReconnectOptions[] =
    "reconnect=1,reconnect_streamed=1,reconnect_on_network_error=1,reconnect_delay_max=5";

constexpr std::array<std::pair<const char*, const char*>, 22> kPlayerOptions = {{
    // Nothing from the user's own mpv set-up, nothing of mpv's own UI.
    {"config", "no"},
    {"load-scripts", "no"},
    {"ytdl", "no"},
    {"input-default-bindings", "no"},
    {"input-vo-keyboard", "no"},
    {"osc", "no"},
    // mpv's built-in scripts (statistics, console, profiles) would each run
    // a Lua thread for nothing.
    {"load-stats-overlay", "no"},
    {"load-osd-console", "no"},
    {"load-auto-profiles", "no"},
    {"terminal", "no"},
    {"idle", "yes"},
    {"vo", "libmpv"},
    // The first fill of the cache is reported as buffering.
    {"cache-pause-initial", "yes"},
    {"network-timeout", "20"},
    {"stream-lavf-o", kReconnectOptions},
    // HLS playlists are opened by the demuxer, not by the stream layer.
    {"demuxer-lavf-o", kReconnectOptions},
    // A live stream never ends: keep its read-ahead and back buffer small.
    {"demuxer-max-bytes", "32MiB"},
    {"demuxer-max-back-bytes", "8MiB"},
    {"keep-open", "no"},
    {"sub-auto", "no"},
    {"audio-display", "no"},
    // A playlist that came over the network may not name local files or
    // the player's own pseudo-protocols.
    {"load-unsafe-playlists", "no"},
}};

// Words of the network layer's messages when a server or its name cannot
// be reached at all.
constexpr std::array<std::string_view, 9> kUnreachableWords = {
    "Connection refused",         "Connection timed out",   "No route to host",
    "Network is unreachable",     "Failed to resolve",      "Name or service not known",
    "Temporary failure in name",  "Host is unreachable",    "Cannot assign requested address",
};

std::u16string ToU16(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

}  // namespace

MpvBackend::MpvBackend(std::vector<Option> extra_options) : extra_options_(std::move(extra_options)) {}

MpvBackend::~MpvBackend() {
  if (handle_ != nullptr) mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  if (render_ != nullptr) {
    mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    mpv_render_context_free(render_);
  }
  if (handle_ != nullptr) mpv_terminate_destroy(handle_);
}

bool MpvBackend::Create() {
  // mpv parses numbers with the C library; Qt sets the user's locale when
  // the application starts.
  std::setlocale(LC_NUMERIC, "C");
  handle_ = mpv_create();
  if (handle_ == nullptr) return false;
  for (const auto& [name, value] : kPlayerOptions) {
    if (mpv_set_option_string(handle_, name, value) < 0) return false;
  }
  for (const auto& [name, value] : extra_options_) {
    if (mpv_set_option_string(handle_, name.c_str(), value.c_str()) < 0) return false;
  }
  return true;
}

bool MpvBackend::HasVolume() { return mpv_set_option_string(handle_, "volume-max", "100") >= 0; }

bool MpvBackend::Initialize() { return mpv_initialize(handle_) >= 0; }

bool MpvBackend::CreateRenderer() {
  char api[] = MPV_RENDER_API_TYPE_SW;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
  return mpv_render_context_create(&render_, handle_, params) >= 0;
}

bool MpvBackend::RequestWarnings() { return mpv_request_log_messages(handle_, "warn") >= 0; }

bool MpvBackend::ObserveState() {
  return mpv_observe_property(handle_, kObservePausedForCache, "paused-for-cache", MPV_FORMAT_FLAG) >= 0 &&
         mpv_observe_property(handle_, kObserveCacheState, "cache-buffering-state", MPV_FORMAT_INT64) >= 0 &&
         mpv_observe_property(handle_, kObserveIdle, "idle-active", MPV_FORMAT_FLAG) >= 0;
}

bool MpvBackend::Connect(PlayerBackendObserver* observer) {
  if (observer == nullptr) return false;
  observer_ = observer;
  mpv_set_wakeup_callback(handle_, &MpvBackend::OnWakeup, this);
  if (render_ != nullptr) mpv_render_context_set_update_callback(render_, &MpvBackend::OnRenderUpdate, this);
  // Events may have queued before the callback was there.
  DrainEvents();
  return true;
}

void MpvBackend::OnWakeup(void* self) {
  auto* backend = static_cast<MpvBackend*>(self);
  if (backend->drain_posted_.exchange(true)) return;
  QMetaObject::invokeMethod(backend, [backend] { backend->DrainEvents(); }, Qt::QueuedConnection);
}

void MpvBackend::OnRenderUpdate(void* self) {
  auto* backend = static_cast<MpvBackend*>(self);
  if (backend->render_posted_.exchange(true)) return;
  QMetaObject::invokeMethod(
      backend,
      [backend] {
        backend->render_posted_ = false;
        if (backend->render_ == nullptr) return;
        if ((mpv_render_context_update(backend->render_) & MPV_RENDER_UPDATE_FRAME) != 0 && backend->observer_ != nullptr) {
          backend->observer_->OnBackendFrame();
        }
      },
      Qt::QueuedConnection);
}

void MpvBackend::Load(const std::string& address) {
  if (handle_ == nullptr) return;
  load_pending_ = true;
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  if (mpv_command_async(handle_, kReplyLoad, command) < 0) load_pending_ = false;
}

void MpvBackend::SetRequestHeaders(const std::string& user_agent, const std::string& referrer) {
  if (handle_ == nullptr) return;
  if (!default_agent_) {
    char* agent = mpv_get_property_string(handle_, "user-agent");
    default_agent_ = agent != nullptr ? agent : "";
    mpv_free(agent);
  }
  mpv_set_property_string(handle_, "user-agent", user_agent.empty() ? default_agent_->c_str() : user_agent.c_str());
  mpv_set_property_string(handle_, "referrer", referrer.c_str());
}

void MpvBackend::Stop() {
  if (handle_ == nullptr) return;
  const char* command[] = {"stop", nullptr};
  mpv_command_async(handle_, 0, command);
}

void MpvBackend::SetVolume(int level) {
  if (handle_ == nullptr) return;
  // mpv refuses a level outside its range and keeps playing at the old one
  // (full volume at start), while the panel shows the level clamped: a
  // damaged "sound_volume" of -10 must not sound at 100.
  double volume = std::clamp(level, 0, 100);
  mpv_set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

bool MpvBackend::RenderFrame(QImage& target) {
  if (render_ == nullptr || target.isNull()) return false;
  int size[2] = {target.width(), target.height()};
  char format[] = "bgr0";
  size_t stride = static_cast<size_t>(target.bytesPerLine());
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_SW_SIZE, size},
      {MPV_RENDER_PARAM_SW_FORMAT, format},
      {MPV_RENDER_PARAM_SW_STRIDE, &stride},
      {MPV_RENDER_PARAM_SW_POINTER, target.bits()},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  return mpv_render_context_render(render_, params) >= 0;
}

void MpvBackend::DrainEvents() {
  drain_posted_ = false;
  if (handle_ == nullptr) return;
  for (;;) {
    mpv_event* event = mpv_wait_event(handle_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    HandleEvent(*event);
  }
  ReportFailure();
}

void MpvBackend::HandleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
      const auto* message = static_cast<const mpv_event_log_message*>(event.data);
      HandleLog(message->prefix, message->level, message->text);
      break;
    }
    case MPV_EVENT_START_FILE:
      ReportFailure();
      // A new address replaces the whole playlist; otherwise this is the
      // next entry of the playlist an address expanded into.
      if (load_pending_) {
        entries_left_ = 0;
      } else if (entries_left_ > 0) {
        --entries_left_;
      }
      load_pending_ = false;
      ever_loaded_ = true;
      active_ = true;
      failed_ = false;
      media_error_ = 0;
      last_warning_.clear();
      unreachable_ = false;
      cache_percent_ = 0;
      // The property may already say that this file waits for its cache.
      SetBuffering(true, paused_for_cache_);
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (active_) SetBuffering(false, paused_for_cache_);
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(event.data);
      HandleEndFile(end->reason, end->error, end->playlist_insert_num_entries);
      break;
    }
    case MPV_EVENT_COMMAND_REPLY:
      if (event.reply_userdata == kReplyLoad && event.error < 0) {
        // The address was refused before anything started.
        load_pending_ = false;
        failed_ = true;
        media_error_ = kMediaErrorCannotPlay;
        status_ = ToU16(mpv_error_string(event.error));
        play_state_ = kPlayStateStopped;
        if (observer_ != nullptr) observer_->OnBackendError();
      }
      break;
    case MPV_EVENT_PROPERTY_CHANGE: {
      const auto* property = static_cast<const mpv_event_property*>(event.data);
      if (event.reply_userdata == kObservePausedForCache) {
        const bool paused = property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data) != 0;
        if (active_) {
          SetBuffering(opening_, paused);
        } else {
          paused_for_cache_ = paused;
        }
      } else if (event.reply_userdata == kObserveCacheState) {
        if (property->format != MPV_FORMAT_INT64) break;
        cache_percent_ = static_cast<int>(*static_cast<int64_t*>(property->data));
        if (active_ && paused_for_cache_) {
          UpdateStatusText();
          NotifyStatus();
        }
      } else if (event.reply_userdata == kObserveIdle) {
        const bool idle = property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data) != 0;
        // Idle between a stop and the next open is no resting state; idle
        // before anything was opened is not worth a report.
        if (idle && !load_pending_ && ever_loaded_ && !active_) {
          play_state_ = kPlayStateReady;
          entries_left_ = 0;
          // After a failure the error's text stays and its report says all.
          if (!failed_) {
            status_ = u"Stopped";
            // A playlist can run out while its buffering phase still runs.
            if (buffering_ && observer_ != nullptr) {
              buffering_ = false;
              observer_->OnBackendBuffering(false);
            } else {
              NotifyStatus();
            }
          }
        }
      }
      break;
    }
    default:
      break;
  }
}

void MpvBackend::HandleLog(const char* prefix, const char* level, const char* text) {
  (void)level;
  std::string_view line(text);
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  if (line.empty() || line.find("Will reconnect") != std::string_view::npos) return;
  for (std::string_view word : kUnreachableWords) {
    if (line.find(word) != std::string_view::npos) unreachable_ = true;
  }
  // The network layer says what went wrong ("HTTP error 404 Not Found");
  // mpv's own closing line ("Failed to open ...") only says that it did.
  const bool from_network = std::strcmp(prefix, "ffmpeg") == 0;
  if (from_network) {
    const size_t colon = line.find(": ");
    if (colon != std::string_view::npos && colon < 16) line.remove_prefix(colon + 2);
  }
  if (from_network || last_warning_.empty()) last_warning_ = std::string(line);
}

void MpvBackend::HandleEndFile(int reason, int error, int64_t inserted_entries) {
  const bool was_buffering = buffering_;
  active_ = false;
  opening_ = false;
  paused_for_cache_ = false;
  if (reason == MPV_END_FILE_REASON_REDIRECT && inserted_entries > 0) entries_left_ += inserted_entries;
  // A playlist address goes on with its entries, and a dead or finished
  // entry (a radio's mirror) with the next one: the channel has not ended,
  // and the buffering phase runs on into the next entry's start.
  const bool goes_on = reason == MPV_END_FILE_REASON_REDIRECT ||
                       (entries_left_ > 0 && (reason == MPV_END_FILE_REASON_ERROR || reason == MPV_END_FILE_REASON_EOF));
  if (goes_on && !load_pending_) return;
  buffering_ = false;
  if (reason == MPV_END_FILE_REASON_ERROR) {
    failed_ = true;
    play_state_ = kPlayStateStopped;
    // mpv hands out queued events before queued log lines, so the warnings
    // that explain this failure may still be waiting: report it once the
    // queue is empty.
    pending_failure_ = error;
    pending_failure_buffering_ = was_buffering;
    return;
  }
  // Replaced by the next address: its start reports soon enough.
  if (load_pending_) return;
  play_state_ = reason == MPV_END_FILE_REASON_EOF ? kPlayStateMediaEnded : kPlayStateStopped;
  status_ = u"Stopped";
  if (observer_ == nullptr) return;
  if (was_buffering) {
    observer_->OnBackendBuffering(false);
  } else {
    observer_->OnBackendStatusChange();
  }
}

void MpvBackend::ReportFailure() {
  if (!pending_failure_) return;
  const int error = *pending_failure_;
  pending_failure_.reset();
  media_error_ = unreachable_ ? kMediaErrorServerNotFound : kMediaErrorCannotPlay;
  status_ = last_warning_.empty() ? ToU16(mpv_error_string(error)) : ToU16(last_warning_);
  if (observer_ == nullptr) return;
  observer_->OnBackendError();
  if (pending_failure_buffering_) observer_->OnBackendBuffering(false);
}

void MpvBackend::SetBuffering(bool opening, bool paused_for_cache) {
  opening_ = opening;
  paused_for_cache_ = paused_for_cache;
  const bool buffering = opening || paused_for_cache;
  play_state_ = buffering ? kPlayStateBuffering : kPlayStatePlaying;
  UpdateStatusText();
  if (buffering == buffering_) {
    NotifyStatus();
    return;
  }
  buffering_ = buffering;
  if (observer_ != nullptr) observer_->OnBackendBuffering(buffering);
}

void MpvBackend::UpdateStatusText() {
  if (paused_for_cache_) {
    status_ = u"Buffering " + QString::number(cache_percent_).toStdU16String() + u"%";
  } else if (opening_) {
    status_ = u"Opening\u2026";
  } else {
    status_ = u"Playing";
  }
}

void MpvBackend::NotifyStatus() {
  if (observer_ != nullptr) observer_->OnBackendStatusChange();
}

}  // namespace vidora
