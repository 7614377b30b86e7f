#ifndef VIDORA_UI_RECORDING_RECORDING_BADGE_H_
#define VIDORA_UI_RECORDING_RECORDING_BADGE_H_

#include <QLabel>

namespace vidora {

class RecordingController;

// "● REC" in the top right corner of `window` while anything records,
// with the count when more than one does; its tooltip says where the
// files go. Shows the controller's failures as one message each, the
// detail in the tooltip. UI thread; a child of `window`.
class RecordingBadge : public QLabel {
  Q_OBJECT

 public:
  RecordingBadge(QWidget* window, RecordingController* recordings);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Update();
  void Place();

  RecordingController* recordings_;
};

}  // namespace vidora

#endif  // VIDORA_UI_RECORDING_RECORDING_BADGE_H_
