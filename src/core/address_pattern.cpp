// SPDX-License-Identifier: MIT
#include "core/address_pattern.h"

#include <algorithm>
#include <array>

#include "core/address_chars.h"

namespace kestrelmoor {
namespace {

enum CharClass : unsigned char { kLocalLead = 1, kLocal = 2, kLabel = 4, kLetter = 8 };

constexpr std::array<unsigned char, 256> kClasses = [] {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c) {
        const char ch = static_cast<char>(c);
        const bool letter = IsAsciiLetter(ch);
        const bool alnum = letter || IsAsciiDigit(ch);
        if (alnum || ch == '_' || ch == '-') classes[c] |= kLocalLead | kLocal;
        if (ch == '.' || ch == '+') classes[c] |= kLocal;
        if (alnum || ch == '-') classes[c] |= kLabel;
        if (letter) classes[c] |= kLetter;
    }
    return classes;
}();

bool Is(char c, CharClass cls) {
    return kClasses[static_cast<unsigned char>(c)] & cls;
}
bool IsLocalLeadChar(char c) {
    return Is(c, kLocalLead);
}
bool IsLocalChar(char c) {
    return Is(c, kLocal);
}
bool IsLabelChar(char c) {
    return Is(c, kLabel);
}
bool IsLetter(char c) {
    return Is(c, kLetter);
}

// A number from 0 to 255 written without leading zeros, "0" alone excepted.
bool IsOctet(std::string_view s) {
    if (s.empty() || s.size() > 3 || !std::all_of(s.begin(), s.end(), IsAsciiDigit)) return false;
    if (s.size() > 1 && s[0] == '0') return false;
    return s.size() < 3 || s.compare("255") <= 0;
}

// What may follow the last full stop: two or more letters, or an octet closed by "]".
bool IsFinalPart(std::string_view s) {
    if (!s.empty() && s.back() == ']') return IsOctet(s.substr(0, s.size() - 1));
    return s.size() >= 2 && std::all_of(s.begin(), s.end(), IsLetter);
}

// "[" and three octets, each followed by a full stop, then the final part.
bool IsBracketDomain(std::string_view domain) {
    std::string_view rest = domain.substr(1);
    for (int i = 0; i < 3; ++i) {
        std::size_t dot = rest.find('.');
        if (dot == std::string_view::npos || !IsOctet(rest.substr(0, dot))) return false;
        rest.remove_prefix(dot + 1);
    }
    return IsFinalPart(rest);
}

// One or more non-empty labels each followed by a full stop, then the final part. The final part
// holds no full stop, so the labels end exactly at the last one.
bool IsLabelDomain(std::string_view domain) {
    std::size_t last_dot = domain.rfind('.');
    if (last_dot == std::string_view::npos) return false;
    std::string_view labels = domain.substr(0, last_dot + 1);
    bool label_open = false;
    for (char c : labels) {
        if (c == '.') {
            if (!label_open) return false;
            label_open = false;
        } else if (IsLabelChar(c)) {
            label_open = true;
        } else {
            return false;
        }
    }
    return IsFinalPart(domain.substr(last_dot + 1));
}

}  // namespace

bool IsValidAddress(std::string_view token) {
    if (token.empty() || !IsLocalLeadChar(token[0])) return false;
    // The local part runs up to the first byte outside its class, which must be the "@".
    std::size_t at = 1;
    while (at < token.size() && IsLocalChar(token[at])) ++at;
    if (at == token.size() || token[at] != '@') return false;
    std::string_view domain = token.substr(at + 1);
    if (!domain.empty() && domain[0] == '[') return IsBracketDomain(domain);
    return IsLabelDomain(domain);
}

}  // namespace kestrelmoor
