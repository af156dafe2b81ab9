// SPDX-License-Identifier: MIT
#include "core/address_scan.h"

#include <cstring>

#include "core/address_chars.h"
#include "core/address_pattern.h"

namespace kestrelmoor {

namespace {

// The full stops that end a token close the sentence around the address, not the address.
std::string_view WithoutClosingFullStops(const char* begin, const char* stop) {
    while (stop > begin && stop[-1] == '.') --stop;
    return {begin, static_cast<std::size_t>(stop - begin)};
}

// The callback runs once per candidate token, closing full stops trimmed.
template <class OnCandidate>
void ScanCandidates(std::string_view text, OnCandidate&& on_candidate) {
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
            unsigned char flags = kTokenByteFlags[static_cast<unsigned char>(begin[-1])];
            if (flags & kTokenEnd) break;
            seen_bytes |= flags;
        }
        // The letter of an escaped splitter ("\n") is the splitter, not the token's first byte. Any
        // backslash counts: a dump writes a value's "\n" as "\\n", and the value's own pair splits.
        if (begin != text.data() && begin[-1] == '\\' && IsEscapedSplitterLetter(*begin)) {
            ++begin;
        }
        const char* stop = at + 1;
        for (; stop < end; ++stop) {
            unsigned char flags = kTokenByteFlags[static_cast<unsigned char>(*stop)];
            if (flags & kTokenEnd) break;
            seen_bytes |= flags;
        }
        scan = stop;

        if (seen_bytes & kFullStop) on_candidate(WithoutClosingFullStops(begin, stop));
    }
}

}  // namespace

void ForEachValidAddress(std::string_view text, const AddressSink& on_valid) {
    ScanCandidates(text, [&](std::string_view candidate) {
        if (IsValidAddress(candidate)) on_valid(candidate);
    });
}

}  // namespace kestrelmoor
