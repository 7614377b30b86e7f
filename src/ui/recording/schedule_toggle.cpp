#include "ui/recording/schedule_toggle.h"

#include "ui/guide/guide_page.h"
#include "ui/recording/recording_controller.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

QString ToggleScheduled(RecordingController& recordings, const ScheduledRecording& recording) {
  const QString title = QString::fromStdString(recording.title);
  if (recordings.Unschedule(recording)) return Text("rec_unscheduled").arg(title);
  QString refusal;
  if (!recordings.Schedule(recording, &refusal)) return refusal;
  return Text("rec_scheduled").arg(title, GuideClock(recording.start));
}

GuideDialog::Recorder GuideRecorder(RecordingController& recordings) {
  GuideDialog::Recorder recorder;
  recorder.scheduled = [&recordings](const ScheduledRecording& programme) {
    return recordings.schedule().Contains(programme);
  };
  recorder.toggle = [&recordings](const ScheduledRecording& recording) { return ToggleScheduled(recordings, recording); };
  return recorder;
}

}  // namespace vidora
