// SPDX-License-Identifier: MIT
#include "cli/line_reader.h"
#include "common/file_descriptor.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace kestrelmoor::cli {
namespace {

const char* Find(const char* from, const char* to, char c) {
    return static_cast<const char*>(std::memchr(from, c, static_cast<std::size_t>(to - from)));
}

const char* FindLast(const char* from, const char* to, char c) {
    return static_cast<const char*>(memrchr(from, c, static_cast<std::size_t>(to - from)));
}

// Hands on the complete lines of [begin, end) that hold the needle; returns where the unfinished
// last line starts.
const char* ScanCompleteLines(const char* begin, const char* end, char needle,
                              const std::function<void(std::string_view)>& on_line) {
    const char* line = begin;  // always the start of a line
    for (;;) {
        const char* hit = Find(line, end, needle);
        if (hit == nullptr) {
            const char* last_lf = FindLast(line, end, '\n');
            return last_lf == nullptr ? line : last_lf + 1;
        }
        if (const char* lf = FindLast(line, hit, '\n')) line = lf + 1;
        const char* line_end = Find(hit, end, '\n');
        if (line_end == nullptr) return line;
        on_line(std::string_view(line, static_cast<std::size_t>(line_end - line)));
        line = line_end + 1;
    }
}

}  // namespace

void ForEachLineHolding(int fd, char needle, const std::function<void(std::string_view)>& on_line) {
    std::vector<char> buffer(std::size_t{1} << 20);
    std::size_t kept = 0;  // the unfinished line carried over from the previous read
    for (;;) {
        if (kept == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t got = ReadSome(fd, buffer.data() + kept, buffer.size() - kept);
        if (got < 0) throw std::system_error(errno, std::generic_category(), "read");
        if (got == 0) break;
        const char* end = buffer.data() + kept + got;
        const char* unfinished = ScanCompleteLines(buffer.data(), end, needle, on_line);
        kept = static_cast<std::size_t>(end - unfinished);
        std::memmove(buffer.data(), unfinished, kept);
    }
    std::string_view last(buffer.data(), kept);
    if (last.find(needle) != std::string_view::npos) on_line(last);
}

}  // namespace kestrelmoor::cli
