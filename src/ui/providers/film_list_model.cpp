#include "ui/providers/film_list_model.h"

#include <QImage>

#include <algorithm>
#include <cctype>

#include "ui/playlists/logo_cache.h"

namespace vidora {
namespace {

const std::string kNone;

}  // namespace

FilmListModel::FilmListModel(LogoCache& posters, QObject* parent) : QAbstractListModel(parent), posters_(posters) {
  connect(&posters_, &LogoCache::LogoReady, this, [this] {
    if (!rows_.empty()) emit dataChanged(index(0), index(static_cast<int>(rows_.size()) - 1), {Qt::DecorationRole});
  });
}

void FilmListModel::SetLibrary(std::shared_ptr<const XtreamLibrary> library) {
  beginResetModel();
  library_ = std::move(library);
  rows_.clear();
  endResetModel();
}

void FilmListModel::Show(Kind kind, const std::string& category, const QString& search) {
  beginResetModel();
  kind_ = kind;
  rows_.clear();
  if (library_) {
    const QString needle = search.trimmed();
    // Comparing UTF-8 bytes first keeps 100,000 names quick; only names
    // that may match are turned into text.
    const std::string plain = needle.toStdString();
    const bool ascii = std::all_of(plain.begin(), plain.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    auto matches = [&](const std::string& name) {
      if (needle.isEmpty()) return true;
      if (ascii) {
        const auto hit = std::search(name.begin(), name.end(), plain.begin(), plain.end(), [](char a, char b) {
          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
        });
        return hit != name.end();
      }
      return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())).contains(needle, Qt::CaseInsensitive);
    };
    const size_t count = kind == Kind::kFilms ? library_->films.films.size() : library_->series.series.size();
    rows_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
      const std::string& in = kind == Kind::kFilms ? library_->films.films[i].category_id
                                                   : library_->series.series[i].category_id;
      if (!category.empty() && in != category) continue;
      if (matches(NameAt(i))) rows_.push_back(static_cast<uint32_t>(i));
    }
  }
  endResetModel();
}

const XtreamFilm* FilmListModel::FilmAt(int row) const {
  if (!library_ || kind_ != Kind::kFilms || row < 0 || static_cast<size_t>(row) >= rows_.size()) return nullptr;
  return &library_->films.films[rows_[static_cast<size_t>(row)]];
}

const XtreamSeries* FilmListModel::SeriesAt(int row) const {
  if (!library_ || kind_ != Kind::kSeries || row < 0 || static_cast<size_t>(row) >= rows_.size()) return nullptr;
  return &library_->series.series[rows_[static_cast<size_t>(row)]];
}

const std::string& FilmListModel::NameAt(size_t index) const {
  if (!library_) return kNone;
  return kind_ == Kind::kFilms ? library_->films.films[index].name : library_->series.series[index].name;
}

const std::string& FilmListModel::PosterAt(size_t index) const {
  if (!library_) return kNone;
  return kind_ == Kind::kFilms ? library_->films.films[index].poster : library_->series.series[index].poster;
}

int FilmListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

QVariant FilmListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || static_cast<size_t>(index.row()) >= rows_.size()) return {};
  const size_t at = rows_[static_cast<size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole: {
      const std::string& name = NameAt(at);
      return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
    case Qt::DecorationRole: {
      // Only drawn rows ask, so only they are fetched.
      static const QImage blank = [] {
        QImage image(kPosterSize, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        return image;
      }();
      const std::string& poster = PosterAt(at);
      if (poster.empty() || (!poster.starts_with("http://") && !poster.starts_with("https://"))) return blank;
      const QImage* image = posters_.Find(QString::fromUtf8(poster.data(), static_cast<qsizetype>(poster.size())).toStdU16String());
      return image != nullptr ? QVariant::fromValue(*image) : QVariant::fromValue(blank);
    }
    default:
      return {};
  }
}

}  // namespace vidora
