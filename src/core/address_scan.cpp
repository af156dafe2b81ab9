// SPDX-License-Identifier: MIT
#include "core/address_scan.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/address_chars.h"
#include "core/address_pattern.h"

namespace kestrelmoor {

namespace {

// The callback runs once per candidate token, line feeds removed.
template <class OnCandidate>
void ScanCandidates(std::string_view text, OnCandidate&& on_candidate) {
    std::string joined;
    const char* scan = text.data();
    const char* const end = scan + text.size();
    while (scan < end) {
        const char* at =
            static_cast<const char*>(std::memchr(scan, '@', static_cast<std::size_t>(end - scan)));
        if (at == nullptr) break;
        // `scan` sits just past the previous token's end, so the backward walk cannot reach into it.
        unsigned char seen_bytes = 0;
        const char* begin = at;
        for (; begin > scan; --begin) {
            unsigned char flags = TokenByteFlags(begin[-1]);
            if (flags & kTokenEnd) break;
            seen_bytes |= flags;
        }
        const char* stop = at + 1;
        for (; stop < end; ++stop) {
            unsigned char flags = TokenByteFlags(*stop);
            if (flags & kTokenEnd) break;
            seen_bytes |= flags;
        }
        scan = stop;

        if (!(seen_bytes & kFullStop)) continue;

        std::string_view token(begin, static_cast<std::size_t>(stop - begin));
        std::string_view candidate = token;
        if (seen_bytes & kLineFeed) {
            joined.assign(token);
            joined.erase(std::remove(joined.begin(), joined.end(), '\n'), joined.end());
            candidate = joined;
        }
        on_candidate(candidate);
    }
}

}  // namespace

void ForEachValidAddress(std::string_view text, const AddressSink& on_valid) {
    ScanCandidates(text, [&](std::string_view candidate) {
        if (IsValidAddress(candidate)) on_valid(candidate);
    });
}

}  // namespace kestrelmoor
