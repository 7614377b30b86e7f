#ifndef VIDORA_CORE_CATALOGUE_TITLE_ORDER_H_
#define VIDORA_CORE_CATALOGUE_TITLE_ORDER_H_

#include <vector>

#include "core/catalogue/channel.h"

namespace vidora {

// Compares the titles ("<country name> <channel name>", UTF-16 code units,
// no case folding) of two channels that both have a country, without
// making them. <0, 0 or >0.
int CompareTitles(const Channel& a, const Channel& b);

// Sorts `channels` (each with a country) by title, equal titles by key:
// the all-channels list's order. The result is the same as sorting with
// CompareTitles and then the key, but the channels are first put into
// groups by country name, so each is compared only with those of its
// group and mostly by a prefix of its name taken once. UI thread.
void SortByTitle(std::vector<Channel*>& channels);

}  // namespace vidora

#endif  // VIDORA_CORE_CATALOGUE_TITLE_ORDER_H_
