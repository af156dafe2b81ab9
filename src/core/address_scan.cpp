// SPDX-License-Identifier: MIT
#include "core/address_scan.h"

#include <cstring>

#include "core/address_chars.h"
#include "core/address_pattern.h"
#include "core/separating_characters.h"

namespace kestrelmoor {

namespace {

// The full stops that end a token close the sentence around the address, not the address.
std::string_view WithoutClosingFullStops(const char* begin, const char* stop) {
    while (stop > begin && stop[-1] == '.') --stop;
    return {begin, static_cast<std::size_t>(stop - begin)};
}

// Where the token that holds `at` begins, no earlier than `scan`; `seen_bytes` gathers its bytes' flags.
// A character beyond ASCII or an escape "\uXXXX" ends it when the character separates, else belongs to
// it (and keeps the pattern from passing it).
const char* TokenBegin(std::string_view text, const char* scan, const char* at, unsigned char& seen_bytes) {
    const char* const first = text.data();
    const char* const end = first + text.size();
    const char* begin = at;
    while (begin > scan) {
        const unsigned char flags = kTokenByteFlags[static_cast<unsigned char>(begin[-1])];
        if ((flags & (kTokenEnd | kBeyondAscii)) == 0) {
            seen_bytes |= flags;
            --begin;
        } else if (flags & kBeyondAscii) {
            const char* lead = Utf8CharacterEndingAt(first, begin);
            if (lead == nullptr) {
                --begin;  // a byte of no character: the pattern refuses it
                continue;
            }
            if (IsSeparatingCharacter(Utf8CharacterAt(lead, begin).code)) break;
            begin = lead;
        } else {
            if (begin[-1] != '\\') break;
            // The escape of a surrogate pair begins with its first half.
            const char* escape = begin - 1;
            if (escape - first >= 6 && UnicodeEscapeAt(escape - 6, end).length == 12) escape -= 6;
            const ReadCharacter named = UnicodeEscapeAt(escape, end);
            if (named.length == 0) {
                // The letter of an escaped splitter ("\n") is the splitter, not the token's first byte.
                // Any backslash counts: a dump writes a value's "\n" as "\\n", and the value's own pair
                // splits.
                if (IsEscapedSplitterLetter(*begin)) ++begin;
                break;
            }
            if (IsSeparatingCharacter(named.code)) {
                begin = escape + named.length;
                break;
            }
            begin = escape;
        }
    }
    return begin;
}

// Where the token that holds `at` ends, as TokenBegin finds its beginning.
const char* TokenEnd(const char* at, const char* end, unsigned char& seen_bytes) {
    const char* stop = at + 1;
    while (stop < end) {
        const unsigned char flags = kTokenByteFlags[static_cast<unsigned char>(*stop)];
        if ((flags & (kTokenEnd | kBeyondAscii)) == 0) {
            seen_bytes |= flags;
            ++stop;
            continue;
        }
        const ReadCharacter named = (flags & kBeyondAscii) ? Utf8CharacterAt(stop, end)
                                    : *stop == '\\'        ? UnicodeEscapeAt(stop, end)
                                                           : ReadCharacter{};
        if ((flags & kBeyondAscii) && named.length == 0) {
            ++stop;
            continue;
        }
        if (named.length == 0 || IsSeparatingCharacter(named.code)) break;
        stop += named.length;
    }
    return stop;
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
        const char* begin = TokenBegin(text, scan, at, seen_bytes);
        const char* stop = TokenEnd(at, end, seen_bytes);
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
