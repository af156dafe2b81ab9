// SPDX-License-Identifier: MIT
#include "cli/output/place_output.h"

#include <algorithm>

#include "cli/output/terminal_text.h"
#include "common/ascii.h"

namespace kestrelmoor::cli {
namespace {

// A name may hold a tab or a line end, which would break the line apart: such bytes are written as
// the mariadb client's batch output writes them (\t, \n, \r, \0, and \\ for the backslash itself).
// Every other control character (ESC, BEL, the C1 controls) is written as the messages write it, so
// that a table's name cannot retitle or clear the terminal the lines are shown on.
void AppendField(std::string& line, std::string_view name) {
    line += '\t';
    while (!name.empty()) {
        const std::size_t special = name.find_first_of(std::string_view("\\\0", 2));
        line += ShowControls(name.substr(0, special));
        if (special == std::string_view::npos) break;
        line += name[special] == '\\' ? "\\\\" : "\\0";
        name.remove_prefix(special + 1);
    }
}

}  // namespace

PlaceOutput::PlaceOutput(OutputWriter& out, bool header, const std::vector<std::string>& only)
    : out_(out), header_(header) {
    for (const std::string& address : only) only_.insert(AsciiLowered(address));
}

void PlaceOutput::WriteAddress(std::size_t number, std::string& line) {
    const std::string_view address = Address(number);
    if (!only_.empty() && !only_.contains(AsciiLowered(address))) return;
    for (const PlaceCount& place : PlacesOf(number)) {
        line.assign(address);
        AppendField(line, place.database);
        AppendField(line, place.table);
        AppendField(line, place.column);
        line += '\t';
        line += std::to_string(place.rows);
        line += '\n';
        out_.Write(line);
        found_ = true;
    }
}

bool PlaceOutput::Finish() {
    if (failure_) return false;
    try {
        if (header_) out_.Write("address\tdatabase\ttable\tcolumn\trows\n");
        std::string line;
        for (std::size_t number = 0; number < AddressCount(); ++number) WriteAddress(number, line);
        out_.Flush();
    } catch (const WriteError& e) {
        failure_ = e.code();
    }
    return !failure_;
}

}  // namespace kestrelmoor::cli
