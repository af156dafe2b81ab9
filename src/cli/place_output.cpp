// SPDX-License-Identifier: MIT
#include "cli/place_output.h"

#include <algorithm>

#include "common/ascii.h"

namespace kestrelmoor::cli {
namespace {

// A name may hold a tab or a line end, which would break the line apart: such bytes are written as
// the mariadb client's batch output writes them (\t, \n, \r, \0, and \\ for the backslash itself).
void AppendField(std::string& line, std::string_view name) {
    line += '\t';
    for (char c : name) {
        switch (c) {
            case '\t':
                line += "\\t";
                break;
            case '\n':
                line += "\\n";
                break;
            case '\r':
                line += "\\r";
                break;
            case '\0':
                line += "\\0";
                break;
            case '\\':
                line += "\\\\";
                break;
            default:
                line += c;
        }
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
