// SPDX-License-Identifier: MIT
#include "core/separating_characters.h"

#include <algorithm>
#include <bitset>
#include <iterator>
#include <utility>

#include "core/address_chars.h"

namespace kestrelmoor {
namespace {

constexpr std::pair<char32_t, char32_t> kSeparatingRanges[] = {
#include "core/separating_characters_table.inc"
};

bool IsContinuation(unsigned char byte) {
    return (byte & 0xC0) == 0x80;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The code unit of "\uXXXX" at `p`, or -1.
long EscapedUnit(const char* p, const char* end) {
    if (end - p < 6 || p[0] != '\\' || p[1] != 'u') return -1;
    long unit = 0;
    for (int i = 2; i < 6; ++i) {
        const int digit = HexValue(p[i]);
        if (digit < 0) return -1;
        unit = unit * 16 + digit;
    }
    return unit;
}

bool InRanges(char32_t c) {
    const auto after = std::upper_bound(std::begin(kSeparatingRanges), std::end(kSeparatingRanges), c,
                                        [](char32_t code, const auto& range) { return code < range.first; });
    return after != std::begin(kSeparatingRanges) && c <= std::prev(after)->second;
}

// The first 65536 characters, where nearly all text lies, one bit each (8 kB): a look-up instead of a
// search of the ranges at every character beside an "@".
const std::bitset<0x10000>& BasicPlane() {
    static const std::bitset<0x10000> plane = [] {
        std::bitset<0x10000> bits;
        for (const auto& [first, last] : kSeparatingRanges) {
            for (char32_t c = first; c <= last && c < 0x10000; ++c) bits.set(c);
        }
        return bits;
    }();
    return plane;
}

}  // namespace

bool IsSeparatingCharacter(char32_t c) {
    if (c < 0x80) return EndsToken(static_cast<char>(c));
    return c < 0x10000 ? BasicPlane().test(c) : InRanges(c);
}

ReadCharacter Utf8CharacterAt(const char* p, const char* end) {
    const auto byte = [&](std::ptrdiff_t i) { return static_cast<unsigned char>(p[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return {};
    }
    if (end - p < static_cast<std::ptrdiff_t>(length) || byte(1) < low || byte(1) > high) return {};
    for (std::size_t i = 1; i < length; ++i) {
        if (!IsContinuation(byte(static_cast<std::ptrdiff_t>(i)))) return {};
        code = (code << 6) | (byte(static_cast<std::ptrdiff_t>(i)) & 0x3F);
    }
    return {code, length};
}

const char* Utf8CharacterEndingAt(const char* first, const char* stop) {
    for (std::ptrdiff_t back = 1; back <= 4 && stop - back >= first; ++back) {
        const char* lead = stop - back;
        if (IsContinuation(static_cast<unsigned char>(*lead))) continue;
        return Utf8CharacterAt(lead, stop).length == static_cast<std::size_t>(back) ? lead : nullptr;
    }
    return nullptr;
}

ReadCharacter UnicodeEscapeAt(const char* p, const char* end) {
    const long unit = EscapedUnit(p, end);
    if (unit < 0) return {};
    const long low = unit >= 0xD800 && unit <= 0xDBFF ? EscapedUnit(p + 6, end) : -1;
    if (low < 0xDC00 || low > 0xDFFF) return {static_cast<char32_t>(unit), 6};
    return {static_cast<char32_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00)), 12};
}

}  // namespace kestrelmoor
