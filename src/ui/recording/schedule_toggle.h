#ifndef VIDORA_UI_RECORDING_SCHEDULE_TOGGLE_H_
#define VIDORA_UI_RECORDING_SCHEDULE_TOGGLE_H_

#include <QString>

#include "core/recording/recording_schedule.h"
#include "ui/guide/guide_dialog.h"

namespace vidora {

class RecordingController;

// R in the guide: removes `recording` from the schedule of `recordings`
// when the same programme is there, else schedules it. Returns the
// sentence saying which, or why it could not be scheduled (the clash).
QString ToggleScheduled(RecordingController& recordings, const ScheduledRecording& recording);

// The guide's recorder working on `recordings` (borrowed; must outlive
// every dialog given the recorder). UI thread only.
GuideDialog::Recorder GuideRecorder(RecordingController& recordings);

}  // namespace vidora

#endif  // VIDORA_UI_RECORDING_SCHEDULE_TOGGLE_H_
