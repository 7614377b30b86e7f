#ifndef VIDORA_CORE_UPDATES_VERSION_COMPARE_H_
#define VIDORA_CORE_UPDATES_VERSION_COMPARE_H_

#include <string_view>

namespace vidora {

// Compares two version texts of up to four "."-separated decimal
// components. Runs of dots and leading dots make no empty components;
// missing components count as 0, components past the fourth are ignored.
// A component reads like atoi: optional blanks and sign, then digits up to
// the first other character ("2b" is 2, "b" is 0), saturating at the int
// range. Returns +i when `remote` is greater at the first differing
// component i (counted from 1), -i when it is smaller, 0 when all four
// are equal. A result above 0 means `remote` is newer.
int CompareVersions(std::string_view remote, std::string_view local);

}  // namespace vidora

#endif  // VIDORA_CORE_UPDATES_VERSION_COMPARE_H_
