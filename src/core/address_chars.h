// SPDX-License-Identifier: MIT
// Byte classes shared by the recognizer's stages. Every byte that the recognizer blanks, splits at or
// accepts is ASCII; characters beyond ASCII that separate words (separating_characters.h) are looked at
// only where a token meets a byte beyond ASCII, so the search stays one table look-up per byte.
#pragma once

#include <array>
#include <string_view>

#include "common/ascii.h"

namespace kestrelmoor {

// The 27 punctuation characters that become spaces before the text is split.
inline constexpr std::string_view kBlankedPunctuation = ",!\"#$%&'()*/:;<=>?[\\]^`{|}~";

// Characters at which the blanked text is split into tokens. A line feed splits like a carriage
// return: real values hold Unix line ends far more often than an address broken over two lines; so do
// the form feed and vertical tab. NUL and Ctrl-Z (end of text in old files, both written escaped by
// database dumps) can never be part of an address, and whatever they touch is read the same whether it
// comes from a table or its dump.
inline constexpr std::string_view kTokenSplitters{"\t\n\r\f\v \0\x1a", 8};

// The letters that, after a backslash, stand for a splitter in dumps, JSON and C strings ("\n" for a
// line feed, "\f" for a form feed); the pair splits as the character would. The backslash itself is
// blanked punctuation. "\b" is left out: "C:\bob" is a path far more often than a backspace.
inline constexpr bool IsEscapedSplitterLetter(char c) {
    return c == 'n' || c == 'r' || c == 't' || c == 'f' || c == 'v' || c == '0' || c == 'Z';
}

namespace detail {
constexpr std::array<bool, 256> MakeByteSet(std::string_view a, std::string_view b = {}) {
    std::array<bool, 256> set{};
    for (char c : a) set[static_cast<unsigned char>(c)] = true;
    for (char c : b) set[static_cast<unsigned char>(c)] = true;
    return set;
}
}  // namespace detail

// A byte that ends a token of the raw text: a splitter, or punctuation that blanking turns into one.
inline constexpr std::array<bool, 256> kEndsToken = detail::MakeByteSet(kBlankedPunctuation, kTokenSplitters);

inline bool EndsToken(char c) {
    return kEndsToken[static_cast<unsigned char>(c)];
}

// A byte after which a text may be cut without changing its tokens: one that ends a token, except a
// backslash, whose next byte may be the letter of an escaped splitter.
inline bool CutsBetweenTokens(char c) {
    return c != '\\' && EndsToken(c);
}

// What the scan notes about each byte of a token while it grows it, in one table look-up.
enum TokenByte : unsigned char { kTokenEnd = 1, kFullStop = 2, kBeyondAscii = 4 };
inline constexpr std::array<unsigned char, 256> kTokenByteFlags = [] {
    std::array<unsigned char, 256> flags{};
    for (std::size_t c = 0; c < 256; ++c) flags[c] = kEndsToken[c] ? kTokenEnd : c >= 0x80 ? kBeyondAscii : 0;
    flags['.'] = kFullStop;
    return flags;
}();
inline unsigned char TokenByteFlags(char c) {
    return kTokenByteFlags[static_cast<unsigned char>(c)];
}

inline constexpr bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace kestrelmoor
