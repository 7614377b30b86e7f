#include "core/catalogue/title_order.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <utility>

#include "core/catalogue/country.h"

namespace vidora {
namespace {

// Eight code units of a text from `at` on, highest first, padded with
// zeros: when two such keys differ, so do the texts, in the same order;
// equal keys decide nothing.
struct Key {
  uint64_t high = 0;
  uint64_t low = 0;

  void Add(char16_t unit, size_t& filled) {
    uint64_t& word = filled < 4 ? high : low;
    if (filled < 8) word |= uint64_t{unit} << (16 * (3 - filled % 4));
    ++filled;
  }
  auto operator<=>(const Key&) const = default;
};

// Starts at `from`, past a beginning all names of a group share (a
// playlist's "Channel 1", "Channel 2", ...), where the names still differ.
Key NameKey(const Channel& channel, size_t from) {
  Key key;
  size_t filled = 0;
  for (size_t i = from; i < channel.name().size() && filled < 8; ++i) key.Add(channel.name()[i], filled);
  return key;
}

// How many code units every name of the group starts with alike.
size_t SharedNameStart(Channel* const* first, Channel* const* last) {
  if (first == last) return 0;
  const std::u16string_view head = (*first)->name();
  size_t shared = head.size();
  for (Channel* const* at = first + 1; at != last && shared > 0; ++at) {
    const std::u16string_view name = (*at)->name();
    shared = std::min(shared, name.size());
    size_t i = 0;
    while (i < shared && name[i] == head[i]) ++i;
    shared = i;
  }
  return shared;
}

// The same over the title "<country name> <channel name>".
Key TitleKey(const Channel& channel) {
  Key key;
  size_t filled = 0;
  const std::u16string& country = channel.country()->display_name();
  for (size_t i = 0; i < country.size() && filled < 8; ++i) key.Add(country[i], filled);
  if (filled < 8) key.Add(u' ', filled);
  for (size_t i = 0; i < channel.name().size() && filled < 8; ++i) key.Add(channel.name()[i], filled);
  return key;
}

struct Keyed {
  Key key;
  Channel* channel;
};

// Sorts one group of channels by title, then key. `one_name`: the
// countries of the group share one name, so the channel names decide.
void SortGroup(Channel** first, Channel** last, bool one_name, std::vector<Keyed>& keyed) {
  keyed.clear();
  // Exactly as many as the group has: grown by doubling, the list and its
  // copy made twice the room at the largest (9 MB for 200,000 channels).
  keyed.reserve(static_cast<size_t>(last - first));
  const size_t shared = one_name ? SharedNameStart(first, last) : 0;
  for (Channel** at = first; at != last; ++at) {
    keyed.push_back(Keyed{one_name ? NameKey(**at, shared) : TitleKey(**at), *at});
  }
  std::sort(keyed.begin(), keyed.end(), [one_name](const Keyed& a, const Keyed& b) {
    if (a.key != b.key) return a.key < b.key;
    const int order = one_name ? a.channel->name().compare(b.channel->name()) : CompareTitles(*a.channel, *b.channel);
    return order != 0 ? order < 0 : a.channel->key() < b.channel->key();
  });
  for (const Keyed& entry : keyed) *first++ = entry.channel;
}

// Whether `a` followed by a space sorts before `b` followed by a space.
bool SpacedBefore(const std::u16string& a, const std::u16string& b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    if (a[i] != b[i]) return a[i] < b[i];
  }
  if (a.size() == b.size()) return false;
  // The shorter one goes on with its space; when the longer one has a
  // space there too, the shorter spaced text starts the longer one.
  if (a.size() < b.size()) return b[common] == u' ' || u' ' < b[common];
  return a[common] != u' ' && a[common] < u' ';
}

}  // namespace

int CompareTitles(const Channel& a, const Channel& b) {
  const std::u16string& ca = a.country()->display_name();
  const std::u16string& cb = b.country()->display_name();
  if (&ca == &cb || ca == cb) return a.name().compare(b.name());
  const size_t common = std::min(ca.size(), cb.size());
  for (size_t i = 0; i < common; ++i) {
    if (ca[i] != cb[i]) return ca[i] < cb[i] ? -1 : 1;
  }
  // One country name is a prefix of the other: go on unit by unit over
  // the rest of both titles.
  auto unit = [](const std::u16string& country, std::u16string_view name, size_t i) -> int {
    if (i < country.size()) return country[i];
    if (i == country.size()) return u' ';
    i -= country.size() + 1;
    return i < name.size() ? name[i] : -1;
  };
  for (size_t i = common;; ++i) {
    const int x = unit(ca, a.name(), i);
    const int y = unit(cb, b.name(), i);
    if (x != y) return x < y ? -1 : 1;
    if (x < 0) return 0;
  }
}

void SortByTitle(std::vector<Channel*>& channels) {
  // The countries of the list. A list is mostly runs of one country's
  // channels, so they are gathered from the runs' first channels.
  std::vector<const Country*> countries;
  for (size_t i = 0; i < channels.size(); ++i) {
    if (i == 0 || channels[i]->country() != channels[i - 1]->country()) countries.push_back(channels[i]->country());
  }
  std::sort(countries.begin(), countries.end());
  countries.erase(std::unique(countries.begin(), countries.end()), countries.end());
  // Titles start with the country name and a space: countries are ordered
  // by that text.
  std::sort(countries.begin(), countries.end(), [](const Country* a, const Country* b) {
    return SpacedBefore(a->display_name(), b->display_name());
  });
  // When one country's name and a space start another's ("Congo",
  // "Congo DR"), the titles of the two interleave: such countries form one
  // group, sorted by whole titles. In that order the names a spaced name
  // starts follow it directly, and titles of different groups are ordered
  // by their countries' spaced names.
  std::vector<uint32_t> group_of(countries.size());
  std::vector<bool> one_name;
  const std::u16string* root = nullptr;
  for (size_t i = 0; i < countries.size(); ++i) {
    const std::u16string& name = countries[i]->display_name();
    if (root != nullptr && name == *root) {
      // Equally named countries: their channels' names decide.
    } else if (root != nullptr && name.size() > root->size() && name.starts_with(*root) && name[root->size()] == u' ') {
      one_name.back() = false;
    } else {
      root = &name;
      one_name.push_back(true);
    }
    group_of[i] = static_cast<uint32_t>(one_name.size() - 1);
  }
  // The group of a country, by its address.
  std::vector<std::pair<const Country*, uint32_t>> by_address(countries.size());
  for (size_t i = 0; i < countries.size(); ++i) by_address[i] = {countries[i], group_of[i]};
  std::sort(by_address.begin(), by_address.end());
  auto group_index = [&by_address](const Country* country) {
    auto at = std::lower_bound(by_address.begin(), by_address.end(), std::make_pair(country, uint32_t{0}));
    return at->second;
  };

  // Channels are placed by group (a counting sort over the runs of one
  // country, moved in place so no second list is held), then each group is
  // sorted on its own.
  struct Run {
    size_t begin;
    size_t to;  // where its first channel goes
    uint32_t group;
  };
  std::vector<Run> runs;
  const size_t group_count = one_name.size();
  std::vector<size_t> starts(group_count + 1, 0);
  for (size_t i = 0; i < channels.size(); ++i) {
    if (i == 0 || channels[i]->country() != channels[i - 1]->country()) {
      runs.push_back(Run{i, 0, group_index(channels[i]->country())});
    }
    ++starts[runs.back().group + 1];
  }
  for (size_t g = 0; g < group_count; ++g) starts[g + 1] += starts[g];
  std::vector<size_t> next(starts.begin(), starts.end() - 1);
  for (size_t r = 0; r < runs.size(); ++r) {
    const size_t end = r + 1 < runs.size() ? runs[r + 1].begin : channels.size();
    runs[r].to = next[runs[r].group];
    next[runs[r].group] += end - runs[r].begin;
  }
  auto destination = [&runs](size_t i) {
    auto run = std::upper_bound(runs.begin(), runs.end(), i, [](size_t at, const Run& r) { return at < r.begin; }) - 1;
    return run->to + (i - run->begin);
  };
  // Each cycle of the permutation is followed once.
  std::vector<bool> moved(channels.size(), false);
  for (size_t start = 0; start < channels.size(); ++start) {
    if (moved[start]) continue;
    Channel* carried = channels[start];
    size_t at = start;
    do {
      const size_t to = destination(at);
      std::swap(carried, channels[to]);
      moved[at] = true;
      at = to;
    } while (at != start);
  }
  std::vector<Keyed> keyed;
  for (size_t g = 0; g < group_count; ++g) {
    SortGroup(channels.data() + starts[g], channels.data() + starts[g + 1], one_name[g], keyed);
  }
}

}  // namespace vidora
