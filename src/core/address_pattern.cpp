#include "core/address_pattern.h"

#include <algorithm>

#include "core/address_chars.h"

namespace kestrelmoor {
namespace {

bool IsLocalLeadChar(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '_' || c == '-'; }
bool IsLocalChar(char c) { return IsLocalLeadChar(c) || c == '.'; }
bool IsLabelChar(char c) { return IsAsciiLetter(c) || IsAsciiDigit(c) || c == '-'; }

// A number from 0 to 255 written without leading zeros, "0" alone excepted.
bool IsOctet(std::string_view s) {
    if (s.empty() || s.size() > 3 || !std::all_of(s.begin(), s.end(), IsAsciiDigit)) return false;
    if (s.size() > 1 && s[0] == '0') return false;
    return s.size() < 3 || s.compare("255") <= 0;
}

// What may follow the last full stop: two or more letters, or an octet closed by "]".
bool IsFinalPart(std::string_view s) {
    if (!s.empty() && s.back() == ']') return IsOctet(s.substr(0, s.size() - 1));
    return s.size() >= 2 && std::all_of(s.begin(), s.end(), IsAsciiLetter);
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
    std::size_t at = token.find('@');
    if (at == 0 || at == std::string_view::npos) return false;
    if (!IsLocalLeadChar(token[0]) || !std::all_of(token.begin() + 1, token.begin() + at, IsLocalChar)) {
        return false;
    }
    std::string_view domain = token.substr(at + 1);
    if (!domain.empty() && domain[0] == '[') return IsBracketDomain(domain);
    return IsLabelDomain(domain);
}

}  // namespace kestrelmoor
