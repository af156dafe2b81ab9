// SPDX-License-Identifier: MIT
#include "cli/block_reader.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "common/file_descriptor.h"

namespace kestrelmoor::cli {

void ForEachBlock(int fd, bool (*cuts_after)(char), const std::function<void(std::string_view)>& on_block) {
    std::vector<char> buffer(std::size_t{1} << 20);
    std::size_t kept = 0;  // the unfinished run carried over from the previous read
    for (;;) {
        if (kept == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t got = ReadSome(fd, buffer.data() + kept, buffer.size() - kept);
        if (got < 0) throw std::system_error(errno, std::generic_category(), "read");
        if (got == 0) break;
        const std::size_t size = kept + static_cast<std::size_t>(got);
        // The run carried over holds no cut, so only the bytes just read are looked at.
        std::size_t whole = size;
        while (whole > kept && !cuts_after(buffer[whole - 1])) --whole;
        if (whole == kept) whole = 0;
        if (whole > 0) on_block(std::string_view(buffer.data(), whole));
        kept = size - whole;
        std::memmove(buffer.data(), buffer.data() + whole, kept);
    }
    if (kept > 0) on_block(std::string_view(buffer.data(), kept));
}

}  // namespace kestrelmoor::cli
