// SPDX-License-Identifier: MIT
#include "core/address_scan.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "core/address_chars.h"
#include "core/address_pattern.h"

namespace kestrelmoor {

namespace {

// Where a text of many lines is scanned, a line feed ends a token like a blank.
constexpr std::array<unsigned char, 256> kLineTokenByteFlags = [] {
    std::array<unsigned char, 256> flags = kTokenByteFlags;
    flags['\n'] = kTokenEnd;
    return flags;
}();

// The callback runs once per candidate token, line feeds removed (`flags` tells what each byte is).
template <class OnCandidate>
void ScanCandidates(std::string_view text, const std::array<unsigned char, 256>& flags_of,
                    OnCandidate&& on_candidate) {
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
            unsigned char flags = flags_of[static_cast<unsigned char>(begin[-1])];
            if (flags & kTokenEnd) break;
            seen_bytes |= flags;
        }
        const char* stop = at + 1;
        for (; stop < end; ++stop) {
            unsigned char flags = flags_of[static_cast<unsigned char>(*stop)];
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
    ScanCandidates(text, kTokenByteFlags, [&](std::string_view candidate) {
        if (IsValidAddress(candidate)) on_valid(candidate);
    });
}

void ForEachValidAddressInLines(std::string_view lines, const AddressSink& on_valid) {
    ScanCandidates(lines, kLineTokenByteFlags, [&](std::string_view candidate) {
        if (IsValidAddress(candidate)) on_valid(candidate);
    });
}

}  // namespace kestrelmoor
