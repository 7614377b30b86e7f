#ifndef VIDORA_UI_PROVIDERS_FILMS_PAGE_H_
#define VIDORA_UI_PROVIDERS_FILMS_PAGE_H_

#include <QDialog>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/providers/xtream_library.h"
#include "ui/jobs/background_jobs.h"
#include "ui/playlists/logo_cache.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QTreeWidget;

namespace vidora {

class Channel;
class FilmListModel;

// "Films & series": the films and series of a provider account. The
// account combo picks the account (when there are several), the kind
// combo films or series, the category list a category (or all), and
// typing filters by name; the list shows posters (fetched in the
// background, a few at a time, only for rows drawn). Selecting a film
// shows its plot; selecting a series shows its plot and its episodes by
// season. Enter (or a double-click) plays the film or the episode through
// `play`, as an address of its own that the account's stream provider
// completes with the password; the player's seek bar works as for any
// media with an end. The lists arrive in the background; a failure is
// one sentence. A window of its own (not modal). UI thread only.
class FilmsPage : public QDialog {
  Q_OBJECT

 public:
  struct Options {
    std::vector<XtreamAccount> accounts;  // the provider entries' accounts
    std::filesystem::path posters;        // the poster cache's folder
    std::function<void(Channel*)> play;
  };
  FilmsPage(QWidget* owner, Options options);
  ~FilmsPage() override;

  QComboBox* account_combo() const { return accounts_; }
  QComboBox* kind_combo() const { return kind_; }
  QLineEdit* search_edit() const { return search_; }
  QListWidget* categories() const { return categories_; }
  QListView* titles() const { return titles_; }
  QTreeWidget* episodes() const { return episodes_; }
  QLabel* plot_label() const { return plot_; }
  QLabel* status_label() const { return status_; }
  const FilmListModel& model() const { return *model_; }
  bool busy() const { return jobs_.running() > 0; }

  // Shows `library` as the account's films and series (how an answer
  // arrives; also for benchmarks); `failure` with nothing in it is said.
  void ShowLibrary(std::shared_ptr<const XtreamLibrary> library, XtreamFailure failure = XtreamFailure::kNone);

  // Plays the selected film, or the selected episode when the episodes
  // have the focus; for a series without episodes shown, shows them.
  void PlaySelected();

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LoadAccount();
  void FillCategories();
  void Refilter();
  void OnTitleSelected();
  void ShowEpisodes(const XtreamSeriesInfo& info);
  void Play(const XtreamMediaRef& media, const QString& title);
  const XtreamAccount* Account() const;

  Options options_;
  LogoCache posters_;
  FilmListModel* model_;
  QComboBox* accounts_;
  QComboBox* kind_;
  QLineEdit* search_;
  QListWidget* categories_;
  QListView* titles_;
  QLabel* plot_;
  QTreeWidget* episodes_;
  QLabel* status_;
  std::shared_ptr<const XtreamLibrary> library_;
  std::vector<std::string> category_ids_;  // per row of categories_ (row 0: all)
  // A newer request's answer wins: the library's, and a title's details.
  uint64_t request_ = 0;
  uint64_t detail_request_ = 0;
  BackgroundJobs jobs_{this};
};

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_FILMS_PAGE_H_
