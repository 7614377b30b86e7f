#include "ui/playback/mpv_backend.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>
#include <QtGlobal>
#include <QString>

#include <algorithm>
#include <array>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "core/timeshift/timeshift_buffer.h"
#include "ui/dialogs/about_dialog.h"
#include "ui/playback/mpv_library.h"
#include "ui/playback/status_texts.h"

namespace vidora {
namespace {

constexpr uint64_t kReplyLoad = 1;
constexpr uint64_t kObservePausedForCache = 1;
constexpr uint64_t kObserveCacheState = 2;
constexpr uint64_t kObserveIdle = 3;
constexpr uint64_t kObserveTitle = 4;
constexpr uint64_t kObserveVideoTrack = 5;
constexpr uint64_t kObserveAudioTrack = 6;
constexpr uint64_t kObservePosition = 7;
constexpr uint64_t kObserveCacheRanges = 8;
constexpr uint64_t kObserveTrackList = 9;
// The information overlay's measurements.
constexpr uint64_t kObserveVideoFormat = 10;
constexpr uint64_t kObserveAudioCodec = 11;
constexpr uint64_t kObserveWidth = 12;
constexpr uint64_t kObserveHeight = 13;
constexpr uint64_t kObserveFps = 14;
constexpr uint64_t kObserveVideoBitrate = 15;
constexpr uint64_t kObserveAudioBitrate = 16;
constexpr uint64_t kObserveDropped = 17;
constexpr uint64_t kObserveCacheDuration = 18;
constexpr uint64_t kObserveInterlaced = 19;

struct ObservedStat {
  uint64_t id;
  const char* name;
  mpv_format format;
};
constexpr ObservedStat kObservedStats[] = {
    {kObserveVideoFormat, "video-format", MPV_FORMAT_STRING},
    {kObserveAudioCodec, "audio-codec-name", MPV_FORMAT_STRING},
    {kObserveWidth, "video-params/w", MPV_FORMAT_INT64},
    {kObserveHeight, "video-params/h", MPV_FORMAT_INT64},
    {kObserveFps, "estimated-vf-fps", MPV_FORMAT_DOUBLE},
    {kObserveVideoBitrate, "video-bitrate", MPV_FORMAT_DOUBLE},
    {kObserveAudioBitrate, "audio-bitrate", MPV_FORMAT_DOUBLE},
    {kObserveDropped, "frame-drop-count", MPV_FORMAT_INT64},
    {kObserveCacheDuration, "demuxer-cache-duration", MPV_FORMAT_DOUBLE},
    {kObserveInterlaced, "video-frame-info/interlaced", MPV_FORMAT_FLAG},
};

// A dropped stream ends here and the player reconnects it itself, with a
// back-off the user sees; the network layer's own silent retries would
// hide the drop for seconds.
constexpr std::array<std::pair<const char*, const char*>, 25> kPlayerOptions = {{
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
    // A frame is handed over at its display time and drawn at once: the
    // frame thread never waits inside the renderer for a frame's time to
    // come, so a frame that is due goes to the window at once.
    {"video-timing-offset", "0"},
    // Frames are converted to RGB on the CPU at 60 a second: libswscale's
    // direct YUV to RGB routines cost about a third of zimg's (whose
    // threads and dithering add more than they give on a picture that is
    // shown for 16 ms).
    {"sws-allow-zimg", "no"},
    {"sws-fast", "yes"},
    // Scaling to the window's size: bilinear costs about a quarter less
    // than the default bicubic (2.8 against 3.8 ms for a 1080p frame into
    // 1280x720 here), a difference hard to see in a picture shown for
    // 16 ms.
    {"sws-scaler", "bilinear"},
    // The first fill of the cache is reported as buffering.
    {"cache-pause-initial", "yes"},
    {"network-timeout", "20"},
    // A live stream never ends: keep its read-ahead and back buffer small.
    {"demuxer-max-bytes", "32MiB"},
    {"demuxer-max-back-bytes", "8MiB"},
    {"keep-open", "no"},
    {"sub-auto", "no"},
    // Subtitles stand clear of the time-shift bar over the picture's foot.
    {"sub-margin-y", "48"},
    {"audio-display", "no"},
    // A playlist that came over the network may not name local files or
    // the player's own pseudo-protocols.
    {"load-unsafe-playlists", "no"},
}};

std::u16string ToU16(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())).toStdU16String();
}

// The first start and the last end of the "seekable-ranges" of mpv's
// "demuxer-cache-state" map.
void ReadSeekableRange(const mpv_node& state, StreamPosition& position) {
  position.seekable_start.reset();
  position.seekable_end.reset();
  if (state.format != MPV_FORMAT_NODE_MAP) return;
  const mpv_node_list* map = state.u.list;
  for (int i = 0; i < map->num; ++i) {
    if (std::strcmp(map->keys[i], "seekable-ranges") != 0 || map->values[i].format != MPV_FORMAT_NODE_ARRAY) continue;
    const mpv_node_list* ranges = map->values[i].u.list;
    for (int r = 0; r < ranges->num; ++r) {
      if (ranges->values[r].format != MPV_FORMAT_NODE_MAP) continue;
      const mpv_node_list* range = ranges->values[r].u.list;
      for (int k = 0; k < range->num; ++k) {
        if (range->values[k].format != MPV_FORMAT_DOUBLE) continue;
        const double value = range->values[k].u.double_;
        if (std::strcmp(range->keys[k], "start") == 0 && (!position.seekable_start || value < *position.seekable_start)) {
          position.seekable_start = value;
        } else if (std::strcmp(range->keys[k], "end") == 0 && (!position.seekable_end || value > *position.seekable_end)) {
          position.seekable_end = value;
        }
      }
    }
  }
  if (!position.seekable_start || !position.seekable_end) {
    position.seekable_start.reset();
    position.seekable_end.reset();
  }
}

const mpv_node* Field(const mpv_node& map, const char* key) {
  if (map.format != MPV_FORMAT_NODE_MAP) return nullptr;
  for (int i = 0; i < map.u.list->num; ++i) {
    if (std::strcmp(map.u.list->keys[i], key) == 0) return &map.u.list->values[i];
  }
  return nullptr;
}

std::string TextField(const mpv_node& map, const char* key) {
  const mpv_node* value = Field(map, key);
  return value != nullptr && value->format == MPV_FORMAT_STRING && value->u.string != nullptr ? value->u.string : "";
}

int64_t NumberField(const mpv_node& map, const char* key) {
  const mpv_node* value = Field(map, key);
  if (value == nullptr) return 0;
  if (value->format == MPV_FORMAT_INT64) return value->u.int64;
  if (value->format == MPV_FORMAT_DOUBLE) return static_cast<int64_t>(value->u.double_);
  return 0;
}

bool FlagField(const mpv_node& map, const char* key) {
  const mpv_node* value = Field(map, key);
  return value != nullptr && value->format == MPV_FORMAT_FLAG && value->u.flag != 0;
}

const char* AspectText(PictureOptions::Aspect aspect) {
  switch (aspect) {
    case PictureOptions::Aspect::k16x9: return "16:9";
    case PictureOptions::Aspect::k4x3: return "4:3";
    case PictureOptions::Aspect::k235x1: return "2.35:1";
    case PictureOptions::Aspect::kAuto:
    case PictureOptions::Aspect::kStretch: break;
  }
  return "-1";
}

}  // namespace

std::vector<MpvBackend::Option> MpvBackend::PlayerOptions() {
  std::vector<Option> options;
  for (const auto& [name, value] : kPlayerOptions) options.emplace_back(name, value);
  return options;
}

MpvBackend::MpvBackend(std::vector<Option> extra_options, const MpvLibrary* library)
    : extra_options_(std::move(extra_options)), lib_(library) {}

MpvBackend::~MpvBackend() {
  if (handle_ != nullptr) lib_->mpv_set_wakeup_callback(handle_, nullptr, nullptr);
  if (render_ != nullptr) {
    lib_->mpv_render_context_set_update_callback(render_, nullptr, nullptr);
    lib_->mpv_render_context_free(render_);
  }
  if (handle_ != nullptr) lib_->mpv_terminate_destroy(handle_);
}

bool MpvBackend::EngineLoaded() const { return lib_ != nullptr || MpvLibraryLoaded(); }

void MpvBackend::WhenEngineLoaded(QObject* context, std::function<void()> ready) {
  QPointer<QObject> guard(context);
  WhenMpvLibraryLoaded([guard, ready = std::move(ready)] {
    // From the loading thread: the call goes to the UI thread, where
    // `guard` is read.
    QMetaObject::invokeMethod(QCoreApplication::instance(), [guard, ready] {
      if (guard) ready();
    }, Qt::QueuedConnection);
  });
}

bool MpvBackend::Create() {
  // Loading started once the loading screen was up; this waits for it.
  if (lib_ == nullptr) lib_ = &SharedMpvLibrary();
  if (!lib_->ok()) {
    // The user sees that there is no player; this says why.
    std::fprintf(stderr, "%s\n", lib_->error().c_str());
    return false;
  }
  // mpv parses numbers with the C library; Qt sets the user's locale when
  // the application starts.
  std::setlocale(LC_NUMERIC, "C");
  handle_ = lib_->mpv_create();
  if (handle_ == nullptr) return false;
  for (const auto& [name, value] : kPlayerOptions) {
    if (lib_->mpv_set_option_string(handle_, name, value) < 0) return false;
  }
  for (const auto& [name, value] : extra_options_) {
    if (lib_->mpv_set_option_string(handle_, name.c_str(), value.c_str()) < 0) return false;
  }
  return true;
}

bool MpvBackend::HasVolume() { return lib_->mpv_set_option_string(handle_, "volume-max", "100") >= 0; }

bool MpvBackend::Initialize() { return lib_->mpv_initialize(handle_) >= 0; }

bool MpvBackend::CreateRenderer() {
  char api[] = MPV_RENDER_API_TYPE_SW;
  mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, api}, {MPV_RENDER_PARAM_INVALID, nullptr}};
  if (lib_->mpv_render_context_create(&render_, handle_, params) < 0) return false;
  InstallFrameWakeup();
  return true;
}

void MpvBackend::SetFrameWakeup(std::function<void()> wake) {
  // Once this returns mpv calls the old callback no more: the function it
  // calls can change.
  if (render_ != nullptr) lib_->mpv_render_context_set_update_callback(render_, nullptr, nullptr);
  frame_wake_ = std::move(wake);
  InstallFrameWakeup();
}

void MpvBackend::InstallFrameWakeup() {
  if (render_ == nullptr || !frame_wake_) return;
  lib_->mpv_render_context_set_update_callback(render_, &MpvBackend::OnRenderUpdate, this);
}

bool MpvBackend::RequestWarnings() { return lib_->mpv_request_log_messages(handle_, "warn") >= 0; }

bool MpvBackend::ObserveState() {
  return lib_->mpv_observe_property(handle_, kObservePausedForCache, "paused-for-cache", MPV_FORMAT_FLAG) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveCacheState, "cache-buffering-state", MPV_FORMAT_INT64) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveIdle, "idle-active", MPV_FORMAT_FLAG) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveTitle, "metadata/by-key/icy-title", MPV_FORMAT_STRING) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveVideoTrack, "current-tracks/video/id", MPV_FORMAT_INT64) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveAudioTrack, "current-tracks/audio/id", MPV_FORMAT_INT64) >= 0 &&
         lib_->mpv_observe_property(handle_, kObservePosition, "time-pos", MPV_FORMAT_DOUBLE) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveCacheRanges, "demuxer-cache-state", MPV_FORMAT_NODE) >= 0 &&
         lib_->mpv_observe_property(handle_, kObserveTrackList, "track-list", MPV_FORMAT_NODE) >= 0 &&
         std::all_of(std::begin(kObservedStats), std::end(kObservedStats), [this](const ObservedStat& stat) {
           return lib_->mpv_observe_property(handle_, stat.id, stat.name, stat.format) >= 0;
         });
}

bool MpvBackend::Connect(PlayerBackendObserver* observer) {
  if (observer == nullptr) return false;
  observer_ = observer;
  lib_->mpv_set_wakeup_callback(handle_, &MpvBackend::OnWakeup, this);
  // Events may have queued before the callback was there.
  DrainEvents();
  return true;
}

void MpvBackend::OnWakeup(void* self) {
  auto* backend = static_cast<MpvBackend*>(self);
  if (backend->drain_posted_.exchange(true)) return;
  QMetaObject::invokeMethod(backend, [backend] { backend->DrainEvents(); }, Qt::QueuedConnection);
}

void MpvBackend::OnRenderUpdate(void* self) { static_cast<MpvBackend*>(self)->frame_wake_(); }

void MpvBackend::Load(const std::string& address) {
  if (handle_ == nullptr) return;
  load_pending_ = true;
  const char* command[] = {"loadfile", address.c_str(), "replace", nullptr};
  if (lib_->mpv_command_async(handle_, kReplyLoad, command) < 0) load_pending_ = false;
}

std::string MpvBackend::DefaultUserAgent() {
  return "Vidora/" + QString::fromUtf16(kAppVersion).toStdString();
}

void MpvBackend::SetRequestHeaders(const std::string& user_agent, const std::string& referrer,
                                   const std::string& cookie) {
  if (handle_ == nullptr) return;
  // Asynchronous, like every other call from the UI thread: the engine
  // applies them in order, before the loadfile that follows.
  std::string agent = user_agent.empty() ? DefaultUserAgent() : user_agent;
  char* agent_text = agent.data();
  lib_->mpv_set_property_async(handle_, 0, "user-agent", MPV_FORMAT_STRING, &agent_text);
  std::string referrer_copy = referrer;
  char* referrer_text = referrer_copy.data();
  lib_->mpv_set_property_async(handle_, 0, "referrer", MPV_FORMAT_STRING, &referrer_text);
  // One list entry, given as a node so that a comma in the cookie does not
  // split it; a line break would start a header of the playlist's making.
  // Set on every load: an empty list drops the last channel's cookie.
  std::string cookie_header;
  if (!cookie.empty() && cookie.find_first_of("\r\n") == std::string::npos) cookie_header = "Cookie: " + cookie;
  mpv_node entry{};
  entry.format = MPV_FORMAT_STRING;
  entry.u.string = cookie_header.data();
  mpv_node_list list{};
  list.num = cookie_header.empty() ? 0 : 1;
  list.values = &entry;
  mpv_node fields{};
  fields.format = MPV_FORMAT_NODE_ARRAY;
  fields.u.list = &list;
  lib_->mpv_set_property_async(handle_, 0, "http-header-fields", MPV_FORMAT_NODE, &fields);
}

void MpvBackend::Stop() {
  if (handle_ == nullptr) return;
  const char* command[] = {"stop", nullptr};
  lib_->mpv_command_async(handle_, 0, command);
}

void MpvBackend::SetPaused(bool paused) {
  if (handle_ == nullptr) return;
  int flag = paused ? 1 : 0;
  lib_->mpv_set_property_async(handle_, 0, "pause", MPV_FORMAT_FLAG, &flag);
}

void MpvBackend::SeekTo(double seconds) {
  if (handle_ == nullptr) return;
  const std::string target = std::to_string(seconds);
  const char* command[] = {"seek", target.c_str(), "absolute", nullptr};
  lib_->mpv_command_async(handle_, 0, command);
}

void MpvBackend::SetText(const char* name, const std::string& value) {
  std::string copy = value;
  char* text = copy.data();
  lib_->mpv_set_property_async(handle_, 0, name, MPV_FORMAT_STRING, &text);
}

void MpvBackend::SetTrackRequest(const TrackRequest& request) {
  if (handle_ == nullptr) return;
  // Track choices made on the last channel are the engine's options too;
  // every load starts from the request alone.
  SetText("alang", request.audio_languages);
  SetText("slang", request.subtitle_languages);
  SetText("aid", "auto");
  SetText("sid", request.subtitles ? "auto" : "no");
  wanted_audio_id_ = request.audio_id;
  wanted_subtitle_id_ = request.subtitles ? request.subtitle_id : std::nullopt;
}

void MpvBackend::SelectTrack(TrackKind kind, std::optional<int64_t> id) {
  if (handle_ == nullptr || kind == TrackKind::kVideo) return;
  SetText(kind == TrackKind::kAudio ? "aid" : "sid", id ? std::to_string(*id) : "no");
}

void MpvBackend::SetPictureOptions(const PictureOptions& options) {
  if (handle_ == nullptr) return;
  SetText("video-aspect-override", AspectText(options.aspect));
  SetText("keepaspect", options.aspect == PictureOptions::Aspect::kStretch ? "no" : "yes");
  SetText("panscan", options.fill ? "1.0" : "0.0");
  deinterlace_auto_ = options.deinterlace == PictureOptions::Deinterlace::kAuto;
  const bool on = deinterlace_auto_ ? stats_.interlaced : options.deinterlace == PictureOptions::Deinterlace::kOn;
  SetText("deinterlace", on ? "yes" : "no");
}

void MpvBackend::SetHardwareDecoding(bool on) {
  if (handle_ == nullptr) return;
  // The copy-back modes hand decoded pictures back to memory, where the
  // software renderer draws them, and fall back to the CPU by themselves.
  SetText("hwdec", on ? "auto-copy" : "no");
}

void MpvBackend::MoveBackBufferToMemory() {
  if (handle_ == nullptr) return;
  SetText("cache-on-disk", "no");
  SetText("demuxer-max-back-bytes", std::to_string(kTimeshiftMemoryMegabytes) + "MiB");
}

void MpvBackend::SetVolume(int level) {
  if (handle_ == nullptr) return;
  // mpv refuses a level outside its range and keeps playing at the old one
  // (full volume at start), while the panel shows the level clamped: a
  // damaged "sound_volume" of -10 must not sound at 100.
  double volume = std::clamp(level, 0, 100);
  lib_->mpv_set_property_async(handle_, 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void MpvBackend::SetMuted(bool muted) {
  if (handle_ == nullptr) return;
  int flag = muted ? 1 : 0;
  lib_->mpv_set_property_async(handle_, 0, "mute", MPV_FORMAT_FLAG, &flag);
}

bool MpvBackend::RenderFrame(QImage& target) {
  if (render_ == nullptr || target.isNull()) return false;
  int size[2] = {target.width(), target.height()};
  // Opaque 0xAARRGGBB words, as QImage's 32-bit formats hold them.
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
  char format[] = "bgra";
#else
  char format[] = "argb";
#endif
  size_t stride = static_cast<size_t>(target.bytesPerLine());
  int block = 0;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_SW_SIZE, size},
      {MPV_RENDER_PARAM_SW_FORMAT, format},
      {MPV_RENDER_PARAM_SW_STRIDE, &stride},
      {MPV_RENDER_PARAM_SW_POINTER, target.bits()},
      {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  return lib_->mpv_render_context_render(render_, params) >= 0;
}

PlayerBackend::FrameNews MpvBackend::CheckFrame() {
  if (render_ == nullptr || (lib_->mpv_render_context_update(render_) & MPV_RENDER_UPDATE_FRAME) == 0) {
    return FrameNews::kNone;
  }
  mpv_render_frame_info info{};
  mpv_render_param param{MPV_RENDER_PARAM_NEXT_FRAME_INFO, &info};
  // Without the answer the frame counts as new.
  if (lib_->mpv_render_context_get_info(render_, param) < 0) return FrameNews::kNewFrame;
  return (info.flags & (MPV_RENDER_FRAME_INFO_REDRAW | MPV_RENDER_FRAME_INFO_REPEAT)) == 0 ? FrameNews::kNewFrame
                                                                                           : FrameNews::kRedraw;
}

bool MpvBackend::DiscardFrame() {
  if (render_ == nullptr) return false;
  int skip = 1;
  int block = 0;
  mpv_render_param params[] = {
      {MPV_RENDER_PARAM_SKIP_RENDERING, &skip},
      {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
      {MPV_RENDER_PARAM_INVALID, nullptr},
  };
  return lib_->mpv_render_context_render(render_, params) >= 0;
}

void MpvBackend::DrainEvents() {
  drain_posted_ = false;
  if (handle_ == nullptr) return;
  for (;;) {
    mpv_event* event = lib_->mpv_wait_event(handle_, 0);
    if (event->event_id == MPV_EVENT_NONE) break;
    HandleEvent(*event);
  }
  ReportFailure();
}

void MpvBackend::HandleEvent(const mpv_event& event) {
  switch (event.event_id) {
    case MPV_EVENT_LOG_MESSAGE: {
      const auto* message = static_cast<const mpv_event_log_message*>(event.data);
      const bool sound_was_missing = notes_.sound_missing();
      notes_.Note(message->prefix, message->text);
      if (!sound_was_missing && notes_.sound_missing() && observer_ != nullptr) observer_->OnBackendSoundMissing();
      break;
    }
    case MPV_EVENT_START_FILE:
      OnStartFile();
      break;
    case MPV_EVENT_PLAYBACK_RESTART:
      if (Active()) {
        if (tracks_.video) picture_played_ = true;
        phase_ = Phase::kPlaying;
        Publish();
      }
      break;
    case MPV_EVENT_END_FILE: {
      const auto* end = static_cast<const mpv_event_end_file*>(event.data);
      OnEndFile(end->reason, end->error, end->playlist_insert_num_entries);
      break;
    }
    case MPV_EVENT_COMMAND_REPLY:
      if (event.reply_userdata == kReplyLoad && event.error < 0) OnLoadRefused(event.error);
      break;
    case MPV_EVENT_PROPERTY_CHANGE:
      OnProperty(event.reply_userdata, *static_cast<const mpv_event_property*>(event.data));
      break;
    default:
      break;
  }
}

void MpvBackend::OnStartFile() {
  ReportFailure();
  // A new address replaces the whole playlist; otherwise this is the next
  // entry of the playlist an address expanded into.
  if (load_pending_) {
    entries_left_ = 0;
  } else if (entries_left_ > 0) {
    --entries_left_;
  }
  load_pending_ = false;
  phase_ = Phase::kOpening;
  failure_ = StreamFailure::kNone;
  failure_detail_.clear();
  notes_.Clear();
  picture_played_ = false;
  cache_percent_ = 0;
  Publish();
}

void MpvBackend::OnEndFile(int reason, int error, int64_t inserted_entries) {
  const bool was_buffering = reported_buffering_;
  cache_paused_ = false;
  if (reason == MPV_END_FILE_REASON_REDIRECT && inserted_entries > 0) entries_left_ += inserted_entries;
  // A playlist address goes on with its entries, and a dead or finished
  // entry (a radio's mirror) with the next one: the channel has not ended,
  // and the buffering phase runs on into the next entry's start. An
  // address replaced by the next one reports through the next one's start.
  const bool goes_on = reason == MPV_END_FILE_REASON_REDIRECT ||
                       (entries_left_ > 0 && (reason == MPV_END_FILE_REASON_ERROR || reason == MPV_END_FILE_REASON_EOF));
  if (load_pending_ || goes_on) {
    phase_ = Phase::kNextEntry;
    if (load_pending_) reported_buffering_ = false;
    return;
  }
  reported_buffering_ = false;
  if (reason == MPV_END_FILE_REASON_ERROR) {
    phase_ = Phase::kFailed;
    // mpv hands out queued events before queued log lines, so the warnings
    // that explain this failure may still be waiting: report it once the
    // queue is empty.
    pending_failure_ = error;
    pending_failure_buffering_ = was_buffering;
    return;
  }
  phase_ = reason == MPV_END_FILE_REASON_EOF ? Phase::kEnded : Phase::kStopped;
  if (observer_ == nullptr) return;
  if (was_buffering) {
    observer_->OnBackendBuffering(false);
  } else {
    observer_->OnBackendStatusChange();
  }
}

void MpvBackend::OnLoadRefused(int error) {
  // The address was refused before anything started.
  load_pending_ = false;
  phase_ = Phase::kFailed;
  failure_ = StreamFailure::kCannotPlay;
  failure_detail_ = ToU16(lib_->mpv_error_string(error));
  if (observer_ != nullptr) observer_->OnBackendError();
}

void MpvBackend::OnProperty(uint64_t id, const mpv_event_property& property) {
  const bool flag = property.format == MPV_FORMAT_FLAG && *static_cast<int*>(property.data) != 0;
  switch (id) {
    case kObservePausedForCache:
      cache_paused_ = flag;
      if (Active()) Publish();
      break;
    case kObserveCacheState:
      if (property.format != MPV_FORMAT_INT64) break;
      cache_percent_ = static_cast<int>(*static_cast<int64_t*>(property.data));
      if (Active() && cache_paused_) NotifyStatus();
      break;
    case kObserveIdle:
      if (flag) OnIdle();
      break;
    case kObserveVideoTrack:
    case kObserveAudioTrack: {
      // The property is missing (format none) while no such track plays.
      const bool present = property.format == MPV_FORMAT_INT64;
      (id == kObserveVideoTrack ? tracks_.video : tracks_.audio) = present;
      // The engine may tell of the picture's track only after playback
      // began; a picture that plays is one all the same.
      if (id == kObserveVideoTrack && present && phase_ == Phase::kPlaying) picture_played_ = true;
      if (observer_ != nullptr) observer_->OnBackendTracksChange();
      break;
    }
    case kObservePosition:
      if (property.format == MPV_FORMAT_DOUBLE) {
        position_.position = *static_cast<double*>(property.data);
      } else {
        position_.position.reset();
      }
      if (observer_ != nullptr) observer_->OnBackendPositionChange();
      break;
    case kObserveCacheRanges:
      if (property.format == MPV_FORMAT_NODE) {
        ReadSeekableRange(*static_cast<mpv_node*>(property.data), position_);
      } else {
        ReadSeekableRange(mpv_node{}, position_);
      }
      if (observer_ != nullptr) observer_->OnBackendPositionChange();
      break;
    case kObserveTrackList:
      OnTrackList(property.format == MPV_FORMAT_NODE ? *static_cast<mpv_node*>(property.data) : mpv_node{});
      break;
    case kObserveVideoFormat:
    case kObserveAudioCodec:
    case kObserveWidth:
    case kObserveHeight:
    case kObserveFps:
    case kObserveVideoBitrate:
    case kObserveAudioBitrate:
    case kObserveDropped:
    case kObserveCacheDuration:
    case kObserveInterlaced:
      OnStatsProperty(id, property);
      break;
    case kObserveTitle: {
      const char* text = property.format == MPV_FORMAT_STRING ? *static_cast<char**>(property.data) : nullptr;
      std::u16string title = text != nullptr ? ToU16(text) : std::u16string();
      if (title == title_) break;
      title_ = std::move(title);
      if (observer_ != nullptr) observer_->OnBackendTitleChange();
      break;
    }
    default:
      break;
  }
}

void MpvBackend::OnTrackList(const mpv_node& list) {
  std::vector<StreamTrack> tracks;
  if (list.format == MPV_FORMAT_NODE_ARRAY) {
    for (int i = 0; i < list.u.list->num; ++i) {
      const mpv_node& entry = list.u.list->values[i];
      const std::string type = TextField(entry, "type");
      StreamTrack track;
      if (type == "audio") {
        track.kind = TrackKind::kAudio;
      } else if (type == "sub") {
        track.kind = TrackKind::kSubtitle;
      } else if (type != "video" || FlagField(entry, "albumart")) {
        continue;
      }
      track.id = NumberField(entry, "id");
      track.language = TextField(entry, "lang");
      track.title = TextField(entry, "title");
      track.codec = TextField(entry, "codec");
      track.channels = static_cast<int>(NumberField(entry, "demux-channel-count"));
      track.width = static_cast<int>(NumberField(entry, "demux-w"));
      track.height = static_cast<int>(NumberField(entry, "demux-h"));
      track.selected = FlagField(entry, "selected");
      tracks.push_back(std::move(track));
    }
  }
  // A remembered track without a language, once the stream lists it.
  for (auto* wanted : {&wanted_audio_id_, &wanted_subtitle_id_}) {
    if (!*wanted) continue;
    const TrackKind kind = wanted == &wanted_audio_id_ ? TrackKind::kAudio : TrackKind::kSubtitle;
    for (const StreamTrack& track : tracks) {
      if (track.kind != kind || track.id != **wanted) continue;
      SelectTrack(kind, track.id);
      wanted->reset();
      break;
    }
  }
  if (tracks == tracks_.list) return;
  tracks_.list = std::move(tracks);
  if (observer_ != nullptr) observer_->OnBackendTracksChange();
}

void MpvBackend::OnStatsProperty(uint64_t id, const mpv_event_property& property) {
  const void* data = property.data;
  const bool present = property.format != MPV_FORMAT_NONE && data != nullptr;
  auto text = [&] { return present && property.format == MPV_FORMAT_STRING ? std::string(*static_cast<char* const*>(data)) : std::string(); };
  auto number = [&] { return present && property.format == MPV_FORMAT_INT64 ? *static_cast<const int64_t*>(data) : int64_t{0}; };
  auto real = [&] { return present && property.format == MPV_FORMAT_DOUBLE ? *static_cast<const double*>(data) : 0.0; };
  switch (id) {
    case kObserveVideoFormat: stats_.video_codec = text(); break;
    case kObserveAudioCodec: stats_.audio_codec = text(); break;
    case kObserveWidth: stats_.width = static_cast<int>(number()); break;
    case kObserveHeight: stats_.height = static_cast<int>(number()); break;
    case kObserveFps: stats_.fps = real(); break;
    case kObserveVideoBitrate: stats_.video_bitrate = static_cast<int64_t>(real()); break;
    case kObserveAudioBitrate: stats_.audio_bitrate = static_cast<int64_t>(real()); break;
    case kObserveDropped: stats_.dropped_frames = number(); break;
    case kObserveCacheDuration: stats_.buffered_seconds = real(); break;
    case kObserveInterlaced: {
      const bool interlaced = present && property.format == MPV_FORMAT_FLAG && *static_cast<const int*>(data) != 0;
      if (interlaced == stats_.interlaced) break;
      stats_.interlaced = interlaced;
      if (deinterlace_auto_) SetText("deinterlace", interlaced ? "yes" : "no");
      break;
    }
    default: break;
  }
}

void MpvBackend::OnIdle() {
  // Idle between a stop and the next open is no resting state; idle before
  // anything was opened is not worth a report.
  if (load_pending_ || phase_ == Phase::kNothing || Active()) return;
  const bool failed = phase_ == Phase::kFailed || failure_ != StreamFailure::kNone;
  phase_ = Phase::kIdle;
  entries_left_ = 0;
  // After a failure the error's text stays. The failure's own report,
  // still pending, will find the engine at rest; one already made (an
  // earlier drain) left the play state at Stopped, so the rest is news.
  if (failed) {
    if (!pending_failure_) NotifyStatus();
    return;
  }
  // A playlist can run out while its buffering phase still runs.
  if (reported_buffering_ && observer_ != nullptr) {
    reported_buffering_ = false;
    observer_->OnBackendBuffering(false);
  } else {
    NotifyStatus();
  }
}

void MpvBackend::ReportFailure() {
  if (!pending_failure_) return;
  const int error = *pending_failure_;
  pending_failure_.reset();
  // Without a sound device a picture plays on silently, so a stream whose
  // picture played failed for another reason (a drop, to be retried).
  failure_ = picture_played_ ? notes_.CauseBesidesSound() : notes_.Cause();
  failure_detail_ = notes_.empty() ? ToU16(lib_->mpv_error_string(error)) : ToU16(notes_.detail());
  if (observer_ == nullptr) return;
  observer_->OnBackendError();
  if (pending_failure_buffering_) observer_->OnBackendBuffering(false);
}

std::u16string MpvBackend::StatusText() const {
  if (failure_ != StreamFailure::kNone) return FailureText(failure_, notes_.http_status());
  switch (phase_) {
    case Phase::kNothing:
      return {};
    // The next entry (or the next address) is on its way.
    case Phase::kNextEntry:
    case Phase::kOpening:
      return OpeningText();
    case Phase::kPlaying:
      return cache_paused_ ? BufferingText(cache_percent_) : PlayingText();
    case Phase::kFailed:
    case Phase::kStopped:
    case Phase::kEnded:
    case Phase::kIdle:
      return StoppedText();
  }
  return {};
}

PlayState MpvBackend::GetPlayState() const {
  switch (phase_) {
    case Phase::kNothing:
      return PlayState::kUndefined;
    case Phase::kOpening:
      return PlayState::kBuffering;
    case Phase::kPlaying:
      return cache_paused_ ? PlayState::kBuffering : PlayState::kPlaying;
    case Phase::kNextEntry:
      return PlayState::kTransitioning;
    case Phase::kFailed:
    case Phase::kStopped:
      return PlayState::kStopped;
    case Phase::kEnded:
      return PlayState::kMediaEnded;
    case Phase::kIdle:
      return PlayState::kReady;
  }
  return PlayState::kUndefined;
}

std::u16string MpvBackend::FailureDetail() const { return failure_detail_; }

void MpvBackend::Publish() {
  const bool buffering = Buffering();
  if (buffering == reported_buffering_) {
    NotifyStatus();
    return;
  }
  reported_buffering_ = buffering;
  if (observer_ != nullptr) observer_->OnBackendBuffering(buffering);
}

void MpvBackend::NotifyStatus() {
  if (observer_ != nullptr) observer_->OnBackendStatusChange();
}

}  // namespace vidora
