#ifndef VIDORA_UI_PROVIDERS_FILM_LIST_MODEL_H_
#define VIDORA_UI_PROVIDERS_FILM_LIST_MODEL_H_

#include <QAbstractListModel>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/providers/xtream_library.h"

namespace vidora {

class LogoCache;

// The films or the series of an account's library that one category and
// a search text leave, for the "Films & series" page's list: the name as
// the display text, the poster (from `posters`, fetched in the background
// as rows are drawn) as the decoration. Rows index into the shared
// library, so 100,000 films cost four bytes a row. UI thread only.
class FilmListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  enum class Kind { kFilms, kSeries };
  // Room kept for every row's poster, so rows line up with or without one.
  static constexpr QSize kPosterSize{36, 54};

  FilmListModel(LogoCache& posters, QObject* parent);

  // A new library (none: empty), or another kind, category (empty: all)
  // or search text (any case, anywhere in the name): the rows are chosen
  // anew.
  void SetLibrary(std::shared_ptr<const XtreamLibrary> library);
  void Show(Kind kind, const std::string& category, const QString& search);

  Kind kind() const { return kind_; }
  // The film or series of `row`; null for a row out of range or of the
  // other kind.
  const XtreamFilm* FilmAt(int row) const;
  const XtreamSeries* SeriesAt(int row) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

 private:
  const std::string& NameAt(size_t index) const;
  const std::string& PosterAt(size_t index) const;

  LogoCache& posters_;
  std::shared_ptr<const XtreamLibrary> library_;
  Kind kind_ = Kind::kFilms;
  std::vector<uint32_t> rows_;  // into films or series
};

}  // namespace vidora

#endif  // VIDORA_UI_PROVIDERS_FILM_LIST_MODEL_H_
