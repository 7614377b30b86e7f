#ifndef VIDORA_UI_RECORDING_RECORDINGS_PAGE_H_
#define VIDORA_UI_RECORDING_RECORDINGS_PAGE_H_

#include <QDialog>
#include <QString>

#include <cstddef>
#include <filesystem>
#include <vector>

#include "ui/jobs/background_jobs.h"

class QPushButton;
class QTreeWidget;

namespace vidora {

// The "Recordings" page: the recordings in `folder` (newest first) with
// their size and length, to play (Enter, "Play") or delete (Delete, after
// a question). Lengths are read from the files one after another as jobs
// of the job runner and filled in as they come. UI thread only.
class RecordingsPage : public QDialog {
  Q_OBJECT

 public:
  RecordingsPage(QWidget* owner, std::filesystem::path folder);
  ~RecordingsPage() override;

  // After exec(): the file the user chose to play, or empty.
  const QString& chosen_file() const { return chosen_file_; }
  // Rows shown (tests).
  QTreeWidget* list() const { return list_; }

  // Deletes the selected recording after asking (`ask` false: without, for tests).
  void DeleteSelected(bool ask = true);

 private:
  void Fill();
  void PlaySelected();
  // Reads the length of lengths_[next] as a job; its result fills the row
  // in and reads the next.
  void ReadLength(std::size_t next);
  void OnLength(const QString& path, double seconds);

  std::filesystem::path folder_;
  QTreeWidget* list_ = nullptr;
  QPushButton* play_ = nullptr;
  QPushButton* delete_ = nullptr;
  QString chosen_file_;
  // The files whose lengths are read, newest first.
  std::vector<std::filesystem::path> lengths_;
  // Last, so that it ends first: results fill in this page's rows.
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_RECORDING_RECORDINGS_PAGE_H_
