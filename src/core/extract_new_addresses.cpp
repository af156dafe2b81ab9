#include "core/extract_new_addresses.h"

#include <algorithm>
#include <cstring>

#include "core/address_chars.h"
#include "core/address_pattern.h"

namespace kestrelmoor {

std::vector<std::string> ExtractNewAddresses(std::string_view text, SeenAddresses& seen,
                                             const YieldFn& yield) {
    std::vector<std::string> found;
    std::string joined;
    std::string lowered;
    const char* scan = text.data();
    const char* const end = scan + text.size();
    while (scan < end) {
        const char* at = static_cast<const char*>(std::memchr(scan, '@', static_cast<std::size_t>(end - scan)));
        if (at == nullptr) break;
        // `scan` sits just past the previous token's end, so the backward walk cannot reach into it.
        const char* begin = at;
        while (begin > scan && !EndsToken(begin[-1])) --begin;
        const char* stop = at + 1;
        while (stop < end && !EndsToken(*stop)) ++stop;
        scan = stop;

        std::string_view token(begin, static_cast<std::size_t>(stop - begin));
        if (token.find('.') == std::string_view::npos) continue;
        if (yield) yield();

        std::string_view candidate = token;
        if (token.find('\n') != std::string_view::npos) {
            joined.assign(token);
            joined.erase(std::remove(joined.begin(), joined.end(), '\n'), joined.end());
            candidate = joined;
        }
        if (!IsValidAddress(candidate)) continue;
        lowered.resize(candidate.size());
        std::transform(candidate.begin(), candidate.end(), lowered.begin(), AsciiLower);
        if (seen.Insert(lowered)) found.emplace_back(candidate);
    }
    return found;
}

}  // namespace kestrelmoor
