#include "textblockdata.h"

#include <algorithm>

void TextBlockData::insert(const ParenthesisInfo& info)
{
    // Entries usually arrive in position order, so the search mostly ends at the back.
    const auto at = std::lower_bound(
        entries.begin(), entries.end(), info.position,
        [](const ParenthesisInfo& entry, int position) { return entry.position < position; });
    entries.insert(at, info);
}
