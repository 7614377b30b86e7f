#ifndef VIDORA_UI_RADIO_RADIO_DIRECTORY_PAGE_H_
#define VIDORA_UI_RADIO_RADIO_DIRECTORY_PAGE_H_

#include <QDialog>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/radio/radio_directory_client.h"
#include "ui/jobs/background_jobs.h"
#include "ui/playlists/logo_cache.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace vidora {

class Channel;

// "Radio directory": the community station directory. The list combo
// picks most voted, most clicked, or a search by name, country, language
// or tag (typing searches); each row shows favicon, name, country, codec
// and bitrate. Enter plays the selected station at once, Insert (or the
// context menu) adds it to the favourites. Stations played or kept join
// the "Radio directory" playlist (a file of the player's own), so they
// are channels like any other and play without the directory. Requests
// run in the background; offline, the page says so. A window of its own
// (not modal). UI thread only.
class RadioDirectoryPage : public QDialog {
  Q_OBJECT

 public:
  struct Options {
    std::string server;  // RadioDirectoryAddress; empty: the public mirrors
    std::filesystem::path stations_file;
    std::filesystem::path favicons;
    std::function<void(Channel*)> play;
  };
  RadioDirectoryPage(QWidget* owner, Options options);

  QComboBox* list_combo() const { return list_; }
  QLineEdit* search_edit() const { return search_; }
  QTreeWidget* stations() const { return stations_; }
  QLabel* status_label() const { return status_; }
  bool busy() const { return jobs_.running() > 0; }

  // Plays / keeps the selected station.
  void PlaySelected();
  void AddSelectedToFavourites();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void Ask();
  void Show(RadioStations stations);
  const RadioStation* Selected() const;
  // Puts the station into the stations file, imports it and then plays it
  // or makes it a favourite.
  void Keep(const RadioStation& station, bool play);
  void FinishKeeping();
  void UpdateIcons();

  Options options_;
  QComboBox* list_;
  QLineEdit* search_;
  QTreeWidget* stations_;
  QLabel* status_;
  QTimer typing_;
  std::vector<RadioStation> shown_;
  std::vector<std::string> mirrors_;
  bool mirrors_known_ = false;
  uint64_t request_ = 0;
  struct Pending {
    std::string address;
    bool play = false;
  };
  std::vector<Pending> pending_;
  LogoCache icons_;
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_RADIO_RADIO_DIRECTORY_PAGE_H_
