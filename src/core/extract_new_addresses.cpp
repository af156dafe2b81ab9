#include "core/extract_new_addresses.h"

#include <algorithm>
#include <cstring>

#include "core/address_chars.h"
#include "core/address_pattern.h"

namespace kestrelmoor {

namespace {

constexpr std::size_t kPrepareFirstUpTo = 256;

// The scan behind both entry points, with the callback inlined: it runs once per candidate token,
// line feeds removed, after the yield.
template <class OnCandidate>
void ScanCandidates(std::string_view text, OnCandidate&& on_candidate, const YieldFn& yield) {
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
        if (yield) yield();

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

void ForEachValidAddress(std::string_view text, const AddressSink& on_valid, const YieldFn& yield) {
    ScanCandidates(
        text,
        [&](std::string_view candidate) {
            if (IsValidAddress(candidate)) on_valid(candidate);
        },
        yield);
}

void ForEachNewAddress(std::string_view text, SeenAddresses& seen, const AddressSink& on_new,
                       const YieldFn& yield) {
    ScanCandidates(
        text,
        [&](std::string_view candidate) {
            // A huge token is checked first: it would only be copied to be thrown away.
            if (candidate.size() > kPrepareFirstUpTo) {
                if (IsValidAddress(candidate) && seen.InsertLowered(candidate)) on_new(candidate);
                return;
            }
            // The entry's slot is on its way into the cache while the pattern is checked.
            const SeenAddresses::Prepared entry = seen.Prepare(candidate);
            if (!IsValidAddress(candidate)) {
                seen.Discard(entry);
            } else if (seen.Commit(entry)) {
                on_new(candidate);
            }
        },
        yield);
}

std::vector<std::string> ExtractNewAddresses(std::string_view text, SeenAddresses& seen,
                                             const YieldFn& yield) {
    std::vector<std::string> found;
    ForEachNewAddress(
        text, seen, [&](std::string_view address) { found.emplace_back(address); }, yield);
    return found;
}

}  // namespace kestrelmoor
