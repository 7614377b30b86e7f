#include "ui/catalogue/playlist_order.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <map>
#include <numeric>
#include <string>
#include <string_view>

#include "core/catalogue/channel_catalogue.h"
#include "ui/catalogue/combo_text_order.h"
#include "ui/playlists/playlist_manager.h"
#include "ui/texts/ui_texts.h"

namespace vidora {

namespace {

// Rows sorted in one piece before the merging starts.
constexpr size_t kSortedRun = 1024;

}  // namespace

PlaylistRowsMaker::PlaylistRowsMaker(const Country* country) { rows_.country = country; }

PlaylistRows* PlaylistRowsMaker::Step(const std::vector<Channel*>& all, const PlaylistManager& playlists,
                                      size_t& budget) {
  if (phase_ == Phase::kGather) {
    for (; next_ < all.size() && budget > 0; ++next_, --budget) {
      if (all[next_]->country() != rows_.country) continue;
      const std::optional<PlaylistChannelInfo> info = playlists.FindChannel(*all[next_]);
      gathered_.push_back({info.has_value() ? info->position : UINT32_MAX, static_cast<uint32_t>(next_),
                           info.has_value() ? all[next_]->group() : std::string_view()});
    }
    if (next_ < all.size()) return nullptr;
    phase_ = Phase::kOrder;
  }
  if (phase_ == Phase::kOrder) {
    // Positions are small and nearly all different: counted into place in
    // linear time, channels of one position (and those without one, last)
    // in list order, as a stable sort by position would put them.
    uint32_t highest = 0;
    for (const Row& row : gathered_) {
      if (row.position != UINT32_MAX) highest = std::max(highest, row.position);
    }
    const size_t buckets = static_cast<size_t>(highest) + 2;
    auto bucket = [highest](const Row& row) { return row.position == UINT32_MAX ? highest + 1 : row.position; };
    std::vector<uint32_t> first(buckets + 1, 0);
    for (const Row& row : gathered_) ++first[bucket(row) + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    ordered_.resize(gathered_.size());
    for (size_t i = 0; i < gathered_.size(); ++i) ordered_[first[bucket(gathered_[i])]++] = static_cast<uint32_t>(i);
    budget -= std::min(budget, gathered_.size() / 8);
    rows_.channels.reserve(gathered_.size());
    rows_.name_slots.reserve(gathered_.size());
    rows_.group_of.reserve(gathered_.size());
    next_ = 0;
    phase_ = Phase::kFinish;
  }
  if (phase_ == Phase::kFinish) {
    for (; next_ < ordered_.size() && budget > 0; ++next_, --budget) {
      const Row& row = gathered_[ordered_[next_]];
      int group = -1;
      if (!row.group.empty()) {
        auto [at, added] = group_index_.emplace(row.group, static_cast<int>(rows_.groups.size()));
        if (added) rows_.groups.push_back(QString::fromUtf8(row.group.data(), static_cast<qsizetype>(row.group.size())));
        group = at->second;
      }
      rows_.channels.push_back(all[row.slot]);
      rows_.name_slots.push_back(row.slot);
      rows_.group_of.push_back(group);
    }
    if (next_ < ordered_.size()) return nullptr;
    gathered_ = {};
    ordered_ = {};
    group_index_ = {};
    phase_ = Phase::kDone;
  }
  return &rows_;
}

PlaylistRows MakePlaylistRows(const Country* country, const std::vector<Channel*>& all,
                              const PlaylistManager& playlists) {
  PlaylistRowsMaker maker(country);
  size_t budget = SIZE_MAX;
  return std::move(*maker.Step(all, playlists, budget));
}

namespace {

// The rows PreparedPlaylistRows keeps, for the list and manager it made
// them for.
struct KeptRows {
  uint64_t version = 0;
  const PlaylistManager* made_with = nullptr;
  std::map<const Country*, std::unique_ptr<PlaylistRowsMaker>> makers;
};

KeptRows& Kept() {
  static KeptRows kept;
  return kept;
}

}  // namespace

void DropUnfinishedSorts() {
  for (auto& [country, maker] : Kept().makers) maker->DropUnfinishedSort();
}

PlaylistRows* PreparedPlaylistRows(const ChannelCatalogue& catalogue, const Country* country,
                                   const PlaylistManager& playlists, size_t& budget) {
  // ListVersion values are unique in the process, so rows made for one
  // list are never taken for another catalogue's.
  uint64_t& version = Kept().version;
  const PlaylistManager*& made_with = Kept().made_with;
  auto& makers = Kept().makers;
  if (version != catalogue.ListVersion() || made_with != &playlists) {
    makers.clear();
    version = catalogue.ListVersion();
    made_with = &playlists;
  }
  std::unique_ptr<PlaylistRowsMaker>& maker = makers[country];
  if (maker == nullptr) maker = std::make_unique<PlaylistRowsMaker>(country);
  return maker->Step(catalogue.AllChannels(), playlists, budget);
}

const std::vector<uint32_t>* SortedRowsStep(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists,
                                            size_t& budget) {
  static const std::vector<uint32_t> kNone;
  if (sort == PlaylistSort::kPlaylistOrder || rows.channels.empty()) return &kNone;
  const size_t n = rows.channels.size();
  std::vector<uint32_t>& made = sort == PlaylistSort::kName ? rows.by_name : rows.by_number;
  QString language;
  if (sort == PlaylistSort::kName) {
    language = InterfaceCollator().locale().name();
    if (!made.empty() && rows.by_name_language != language) made.clear();
  }
  if (!made.empty()) return &made;
  using SortWork = PlaylistRows::SortWork;
  if (rows.sort_work == nullptr || rows.sort_work->sort != sort || rows.sort_work->language != language) {
    rows.sort_work = std::make_unique<SortWork>();
    rows.sort_work->sort = sort;
    rows.sort_work->language = language;
  }
  SortWork& work = *rows.sort_work;
  // One sort key per name: comparing keys is a memory compare, where
  // comparing names through the collator would redo the collation at
  // every one of the sort's n log n steps.
  if (work.keyed < n) {
    if (sort == PlaylistSort::kName) {
      QCollator collator = InterfaceCollator();
      collator.setNumericMode(true);
      work.keys.reserve(n);
      for (; work.keyed < n && budget > 0; ++work.keyed, --budget) {
        work.keys.push_back(collator.sortKey(ToQString(rows.channels[work.keyed]->name())));
      }
    } else {
      work.numbers.reserve(n);
      for (; work.keyed < n && budget > 0; ++work.keyed, --budget) {
        work.numbers.push_back(playlists.ChannelNumber(*rows.channels[work.keyed]));
      }
    }
    if (work.keyed < n) return nullptr;
    work.order.resize(n);
    std::iota(work.order.begin(), work.order.end(), 0u);
    work.spare.resize(n);
  }
  auto less = [&work](uint32_t a, uint32_t b) {
    return work.sort == PlaylistSort::kName ? work.keys[a].compare(work.keys[b]) < 0
                                            : ChannelNumberLess(work.numbers[a], work.numbers[b]);
  };
  // A merge sort that can stop anywhere: short runs sorted in one piece,
  // then merged pairwise, a row at a time, the left run winning ties, so
  // that equal keys keep the playlist's order.
  if (work.width == 0) {
    for (; work.at < n && budget > 0; work.at += kSortedRun) {
      const size_t end = std::min(n, work.at + kSortedRun);
      std::stable_sort(work.order.begin() + static_cast<ptrdiff_t>(work.at),
                       work.order.begin() + static_cast<ptrdiff_t>(end), less);
      budget -= std::min(budget, 4 * (end - work.at));
    }
    if (work.at < n) return nullptr;
    work.width = kSortedRun;
    work.at = 0;
  }
  while (work.width < n) {
    if (work.at >= n) {
      std::swap(work.order, work.spare);
      work.width *= 2;
      work.at = 0;
      continue;
    }
    const size_t mid = std::min(n, work.at + work.width);
    const size_t end = std::min(n, work.at + 2 * work.width);
    if (!work.merging) {
      work.left = work.at;
      work.right = mid;
      work.out = work.at;
      work.merging = true;
    }
    for (; work.out < end && budget > 0; ++work.out, --budget) {
      const bool take_right =
          work.left == mid || (work.right < end && less(work.order[work.right], work.order[work.left]));
      work.spare[work.out] = take_right ? work.order[work.right++] : work.order[work.left++];
    }
    if (work.out < end) return nullptr;
    work.merging = false;
    work.at = end;
  }
  made = std::move(work.order);
  if (sort == PlaylistSort::kName) rows.by_name_language = language;
  rows.sort_work.reset();
  return &made;
}

const std::vector<uint32_t>& SortedRows(PlaylistRows& rows, PlaylistSort sort, const PlaylistManager& playlists) {
  size_t budget = SIZE_MAX;
  return *SortedRowsStep(rows, sort, playlists, budget);
}

}  // namespace vidora
