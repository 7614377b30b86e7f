#include "ui/recording/recording_controller.h"

#include <QDebug>
#include <QMetaObject>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <system_error>

#include "core/document/atomic_file.h"
#include "core/document/text_codec.h"
#include "core/playback/provider_table.h"
#include "core/playback/stream_address_provider.h"
#include "core/recording/recording_folder.h"
#include "core/stores/app_paths.h"
#include "core/stores/setting_keys.h"
#include "core/stores/settings_store.h"
#include "ui/texts/ui_texts.h"

namespace vidora {
namespace {

std::string Utf8(const QString& text) { return text.toStdString(); }

QString EndSentence(const RecordingResult& result) {
  const QString name = QString::fromStdString(result.path.filename().string());
  switch (result.end) {
    case RecordingEnd::kStopped:
    case RecordingEnd::kTimeReached:
    case RecordingEnd::kSourceEnded:
      return Text("rec_saved").arg(name);
    case RecordingEnd::kDiskFull:
      return Text("rec_disk_full");
    case RecordingEnd::kNotWritable:
      return Text("rec_not_writable");
    case RecordingEnd::kSourceFailed:
      return Text("rec_source_failed");
  }
  return {};
}

}  // namespace

RecordingController::Options RecordingController::DefaultOptions() {
  Options options;
  options.folder = RecordingsFolder();
  options.schedule_file = CurrentAppPaths().user_data_folder / "recordings.schedule";
  return options;
}

RecordingController::RecordingController(Options options, QObject* parent)
    : QObject(parent), options_(std::move(options)) {
  KeepInterruptedRecordings(options_.folder);
  std::ifstream in(options_.schedule_file, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  schedule_ = RecordingSchedule::Read(text.str());
  connect(&timer_, &QTimer::timeout, this, &RecordingController::Tick);
  timer_.start(options_.tick_ms);
}

RecordingController::~RecordingController() { StopAll(); }

int64_t RecordingController::Now() const {
  if (options_.clock) return options_.clock();
  return std::chrono::duration_cast<std::chrono::seconds>(std::chrono::system_clock::now().time_since_epoch())
      .count();
}

bool RecordingController::ToggleRecording(const QString& channel, const QString& title, const QString& address,
                                          int64_t until) {
  const auto it = std::find_if(active_.begin(), active_.end(), [&](const Active& a) { return a.address == address; });
  if (it != active_.end()) {
    // Ends on its own thread; OnEnded removes it.
    it->recorder->Stop();
    return false;
  }
  ScheduledRecording what;
  what.channel = Utf8(channel);
  what.title = Utf8(title);
  what.address = Utf8(address);
  what.start = Now();
  return Start(what, until, false);
}

bool RecordingController::IsRecording(const QString& address) const {
  return std::any_of(active_.begin(), active_.end(), [&](const Active& a) { return a.address == address; });
}

bool RecordingController::Start(const ScheduledRecording& what, int64_t until, bool scheduled) {
  if (active_count() >= std::max(1, GetSetting(kMaxRecordingsSetting))) {
    emit Message(Text("rec_too_many").arg(GetSetting(kMaxRecordingsSetting)), {}, true);
    return false;
  }
  std::error_code error;
  std::filesystem::create_directories(options_.folder, error);
  const uint64_t min_free = static_cast<uint64_t>(std::max(0, GetSetting(kRecordingMinFreeMbSetting))) << 20;
  if (!error && FreeBytesAt(options_.folder) < min_free) {
    emit Message(Text("rec_disk_full"), QString::fromStdString(options_.folder.string()), true);
    return false;
  }
  RecordingRequest request;
  request.address = what.address;
  request.user_agent = what.user_agent;
  request.referrer = what.referrer;
  request.final_path = options_.folder / RecordingFileName(what.channel, what.title, what.start);
  request.min_free_bytes = min_free;
  const int id = ++last_id_;
  // The recorders are joined before this object goes, so `this` outlives
  // every end they post.
  auto recorder = std::make_unique<StreamRecorder>(
      std::move(request), [](const std::string& gap) { qInfo("recording: %s", gap.c_str()); },
      [this, id](const RecordingResult& result) {
        QMetaObject::invokeMethod(this, [this, id, result] { OnEnded(id, result); }, Qt::QueuedConnection);
      });
  active_.push_back({std::move(recorder), QString::fromStdString(what.address), until, scheduled, id});
  emit Message(Text("rec_started").arg(QString::fromStdString(what.channel)), {}, false);
  emit Changed();
  return true;
}

void RecordingController::StartDue(const ScheduledRecording& due) {
  if (due.provider.empty()) {
    Start(due, due.RecordUntil(), true);
    return;
  }
  const QString channel = QString::fromStdString(due.channel);
  StreamAddressProvider* provider = Providers().Find(due.provider);
  std::shared_ptr<StreamAddressProvider> copy = provider != nullptr ? provider->CopyForWorker() : nullptr;
  const auto failed = [this, channel] { emit Message(Text("rec_no_address").arg(channel), {}, true); };
  if (copy == nullptr) {
    failed();
    return;
  }
  const std::atomic<bool>* cancel = jobs_.cancel();
  const bool started = jobs_.Run([this, copy, cancel, due, failed]() -> JobRunner::Result {
    const std::optional<std::u16string> address = copy->Resolve(Utf8ToUtf16(due.address), cancel);
    return [this, due, failed, address] {
      if (!address || address->empty()) {
        failed();
        return;
      }
      ScheduledRecording resolved = due;
      resolved.address = Utf16ToUtf8(*address);
      resolved.provider.clear();
      Start(resolved, resolved.RecordUntil(), true);
    };
  });
  if (!started) failed();
}

void RecordingController::OnEnded(int id, const RecordingResult& result) {
  const auto it = std::find_if(active_.begin(), active_.end(), [&](const Active& a) { return a.id == id; });
  if (it == active_.end()) return;
  it->recorder->Join();
  active_.erase(it);
  const bool failure = result.end == RecordingEnd::kDiskFull || result.end == RecordingEnd::kNotWritable ||
                       result.end == RecordingEnd::kSourceFailed;
  if (result.gaps > 0) qInfo("recording %s: %d gaps", result.path.c_str(), result.gaps);
  if (!result.path.empty() || failure) emit Message(EndSentence(result), QString::fromStdString(result.detail), failure);
  emit Changed();
}

bool RecordingController::Schedule(const ScheduledRecording& recording, QString* refusal) {
  const RecordingSchedule::AddResult added = schedule_.Add(recording, std::max(1, GetSetting(kMaxRecordingsSetting)));
  if (!added.added) {
    QStringList names;
    for (const ScheduledRecording& other : added.clashes) {
      names << QString::fromStdString(other.channel + " \xE2\x80\x94 " + other.title);
    }
    if (refusal != nullptr) {
      *refusal = names.isEmpty() ? Text("rec_cannot_schedule")
                                 : Text("rec_clash").arg(GetSetting(kMaxRecordingsSetting)).arg(names.join(QStringLiteral(", ")));
    }
    return false;
  }
  SaveSchedule();
  emit Changed();
  return true;
}

bool RecordingController::Unschedule(const ScheduledRecording& recording) {
  if (!schedule_.Remove(recording)) return false;
  SaveSchedule();
  emit Changed();
  return true;
}

void RecordingController::SaveSchedule() const {
  const std::string text = schedule_.Write();
  std::error_code error;
  std::filesystem::create_directories(options_.schedule_file.parent_path(), error);
  if (!SaveBytesAtomically(reinterpret_cast<const uint8_t*>(text.data()), static_cast<uint32_t>(text.size()),
                           options_.schedule_file)) {
    qWarning("the recording schedule could not be saved to %s", options_.schedule_file.c_str());
  }
}

void RecordingController::Tick() {
  const int64_t now = Now();
  for (Active& active : active_) {
    if (active.until > 0 && now >= active.until) active.recorder->Stop();
  }
  const size_t before = schedule_.items().size();
  for (const ScheduledRecording& due : schedule_.TakeDue(now)) StartDue(due);
  if (schedule_.items().size() != before) {
    SaveSchedule();
    emit Changed();
  }
}

void RecordingController::StopAll() {
  for (Active& active : active_) active.recorder->Stop();
  for (Active& active : active_) active.recorder->Join();
  active_.clear();
}

}  // namespace vidora
