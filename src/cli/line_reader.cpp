// SPDX-License-Identifier: MIT
#include "cli/line_reader.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "common/file_descriptor.h"

namespace kestrelmoor::cli {

void ForEachBlockOfLines(int fd, const std::function<void(std::string_view)>& on_block) {
    std::vector<char> buffer(std::size_t{1} << 20);
    std::size_t kept = 0;  // the unfinished line carried over from the previous read
    for (;;) {
        if (kept == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t got = ReadSome(fd, buffer.data() + kept, buffer.size() - kept);
        if (got < 0) throw std::system_error(errno, std::generic_category(), "read");
        if (got == 0) break;
        const std::string_view read(buffer.data(), kept + static_cast<std::size_t>(got));
        const std::size_t last_lf = read.rfind('\n');
        const std::size_t whole = last_lf == std::string_view::npos ? 0 : last_lf + 1;
        if (whole > 0) on_block(read.substr(0, whole));
        kept = read.size() - whole;
        std::memmove(buffer.data(), buffer.data() + whole, kept);
    }
    if (kept > 0) on_block(std::string_view(buffer.data(), kept));
}

}  // namespace kestrelmoor::cli
