// SPDX-License-Identifier: MIT
// Characters that separate words, however they are written: as an ASCII byte, as a UTF-8 character, or
// as an escape that stands for one ("\u201c" in JSON). Beyond ASCII, spaces (no-break, ideographic,
// zero-width), punctuation (quotation marks, guillemets, brackets, dashes, the ideographic full stop
// and comma), symbols and format characters separate; letters, marks and digits do not, so a word
// with a letter beyond ASCII stays one word, which is never an address.
#pragma once

#include <cstddef>

namespace kestrelmoor {

// ASCII: the bytes that end a token (address_chars.h); beyond: see above.
bool IsSeparatingCharacter(char32_t c);

// A character read from the text and the bytes it took; length 0 when the bytes there are none.
struct ReadCharacter {
    char32_t code = 0;
    std::size_t length = 0;
};

// The UTF-8 character that starts at `p` (before `end`), strictly: no overlong forms, no surrogates.
ReadCharacter Utf8CharacterAt(const char* p, const char* end);

// The first byte of the UTF-8 character whose last byte is `stop[-1]`, or nullptr when no character
// ends there; never looks before `first`.
const char* Utf8CharacterEndingAt(const char* first, const char* stop);

// The escape "\uXXXX" at `p` (a backslash), with a following "\uXXXX" when the two are a surrogate pair;
// length 0 when there is none. A lone surrogate is given as it is: it separates nothing.
ReadCharacter UnicodeEscapeAt(const char* p, const char* end);

}  // namespace kestrelmoor
