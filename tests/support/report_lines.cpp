// SPDX-License-Identifier: MIT
#include "support/report_lines.h"

namespace kestrelmoor::test {

std::vector<int> ReportLines(const std::vector<std::string>& reports, std::string_view location) {
    const std::string marker = std::string(location) + "at line ";
    std::vector<int> lines;
    for (const std::string& text : reports) {
        const std::size_t at = text.find(marker);
        lines.push_back(at == std::string::npos ? -1 : std::stoi(text.substr(at + marker.size())));
    }
    return lines;
}

}  // namespace kestrelmoor::test
