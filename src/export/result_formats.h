// SPDX-License-Identifier: MIT
// The bytes of the exports. Result files: one address per line, each line ended by CR LF; or one line
// with every address followed by "," and then CR LF. The command line writes the same comma line, and
// its own address lines ended by LF alone.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "export/list_source.h"

namespace kestrelmoor {

inline constexpr std::string_view kLineEnd = "\r\n";

// One line of the text file.
inline void AppendTextFileLine(std::string& out, std::string_view address) {
    out += address;
    out += kLineEnd;
}

// One address of the comma-delimited line; the line is ended by kLineEnd once all are in.
inline void AppendCommaItem(std::string& out, std::string_view address) {
    out += address;
    out += ',';
}

// The command line's formats of the run's addresses.
enum class OutputFormat {
    Lines,  // each address followed by LF
    Comma,  // the window's comma-delimited file: each address followed by ",", then one CR LF
};

// One address as the format writes it, appended to `item`; and what ends the output after the last.
inline void AppendAddress(std::string& item, std::string_view address, OutputFormat format) {
    if (format == OutputFormat::Comma) {
        AppendCommaItem(item, address);
    } else {
        item += address;
        item += '\n';
    }
}
inline std::string_view OutputEnd(OutputFormat format) {
    return format == OutputFormat::Comma ? kLineEnd : std::string_view();
}

// The clipboard text of a list: only checked rows, each cell padded with spaces to its column's width
// (the longest cell of that column over all rows, checked or not) and followed by a tab, the row's last
// tab and trailing spaces removed, then CR LF. No text at all (std::nullopt) when the list has no rows.
// `yield` runs before each cell is looked at, and once per row.
std::optional<std::string> ClipboardText(const ListSource& list, const std::function<void()>& yield);

// The number of characters of a UTF-8 text.
std::size_t CharacterCount(std::string_view text);

}  // namespace kestrelmoor
