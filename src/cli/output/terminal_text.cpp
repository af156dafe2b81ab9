// SPDX-License-Identifier: MIT
#include "cli/output/terminal_text.h"

#include <cstdint>

namespace kestrelmoor::cli {
namespace {

constexpr char kHex[] = "0123456789abcdef";

void AppendHexByte(std::string& out, unsigned char byte) {
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xf];
}

// The length of the valid UTF-8 sequence at the start of `text` (overlong forms, surrogates and code
// points beyond U+10FFFF are invalid), or 0; its code point in `code`.
std::size_t Utf8Length(std::string_view text, std::uint32_t& code) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 0;
    std::uint32_t min = 0;
    if (lead >= 0xc2 && lead <= 0xdf) {
        length = 2, code = lead & 0x1fu, min = 0x80;
    } else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3, code = lead & 0x0fu, min = 0x800;
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4, code = lead & 0x07u, min = 0x10000;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xc0) != 0x80) return 0;
        code = (code << 6) | (next & 0x3fu);
    }
    const bool surrogate = code >= 0xd800 && code <= 0xdfff;
    return code < min || code > 0x10ffff || surrogate ? 0 : length;
}

void AppendAscii(std::string& out, char c, bool keep_line_feeds) {
    static constexpr std::string_view kNamed = "\a\b\t\n\v\f\r";
    static constexpr std::string_view kNames = "abtnvfr";
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7f) {
        out += c;
    } else if (c == '\n' && keep_line_feeds) {
        out += c;
    } else if (const std::size_t named = kNamed.find(c); named != std::string_view::npos) {
        out += '\\';
        out += kNames[named];
    } else {
        AppendHexByte(out, byte);
    }
}

}  // namespace

std::string ShowControls(std::string_view text, bool keep_line_feeds) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        if (static_cast<unsigned char>(text[0]) < 0x80) {
            AppendAscii(out, text[0], keep_line_feeds);
            text.remove_prefix(1);
            continue;
        }
        std::uint32_t code = 0;
        const std::size_t length = Utf8Length(text, code);
        if (length == 0) {
            AppendHexByte(out, static_cast<unsigned char>(text[0]));
            text.remove_prefix(1);
        } else if (code <= 0x9f) {
            out += "\\u00";
            out += kHex[code >> 4];
            out += kHex[code & 0xf];
            text.remove_prefix(length);
        } else {
            out.append(text.substr(0, length));
            text.remove_prefix(length);
        }
    }
    return out;
}

}  // namespace kestrelmoor::cli
