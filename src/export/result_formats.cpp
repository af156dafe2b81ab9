// SPDX-License-Identifier: MIT
#include "export/result_formats.h"

#include <algorithm>
#include <vector>

namespace kestrelmoor {

std::size_t CharacterCount(std::string_view text) {
    // Every character has exactly one byte that is not a continuation byte (10xxxxxx).
    return static_cast<std::size_t>(std::count_if(
        text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

std::optional<std::string> ClipboardText(const ListSource& list, const std::function<void()>& yield) {
    const auto pause = [&] {
        if (yield) yield();
    };
    if (list.Count() == 0) return std::nullopt;

    const int columns = list.ColumnCount();
    std::vector<std::size_t> widths(static_cast<std::size_t>(std::max(columns, 0)), 0);
    const std::int64_t rows = list.Count();
    for (int column = 1; column <= columns; ++column) {
        for (std::int64_t row = 1; row <= rows; ++row) {
            pause();
            std::size_t& width = widths[static_cast<std::size_t>(column - 1)];
            width = std::max(width, CharacterCount(list.Cell(row, column)));
        }
    }

    std::string text;
    for (std::int64_t row = 1; row <= rows; ++row) {
        pause();
        if (!list.Checked(row)) continue;
        for (int column = 1; column <= columns; ++column) {
            pause();
            const std::string cell = list.Cell(row, column);
            text += cell;
            const std::size_t width = widths[static_cast<std::size_t>(column - 1)];
            const std::size_t length = CharacterCount(cell);
            if (width > length) text.append(width - length, ' ');
            text += '\t';
        }
        if (columns > 0) text.pop_back();  // the tab after the row's last cell
        while (!text.empty() && text.back() == ' ') text.pop_back();
        text += kLineEnd;
    }
    return text;
}

}  // namespace kestrelmoor
