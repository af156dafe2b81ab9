#include "cli/line_reader.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

namespace kestrelmoor::cli {

void ForEachLine(int fd, const std::function<void(std::string_view)>& on_line) {
    std::vector<char> buffer(std::size_t{1} << 20);
    std::size_t filled = 0;
    for (;;) {
        if (filled == buffer.size()) buffer.resize(buffer.size() * 2);
        ssize_t got = ::read(fd, buffer.data() + filled, buffer.size() - filled);
        if (got < 0) {
            if (errno == EINTR) continue;
            throw std::system_error(errno, std::generic_category(), "read");
        }
        if (got == 0) break;
        const char* line = buffer.data();
        const char* const end = buffer.data() + filled + got;
        // Only the newly read bytes can hold the next line feed: the kept tail had none.
        const char* search = buffer.data() + filled;
        while (const char* lf = static_cast<const char*>(std::memchr(search, '\n', end - search))) {
            on_line(std::string_view(line, static_cast<std::size_t>(lf - line)));
            line = lf + 1;
            search = line;
        }
        filled = static_cast<std::size_t>(end - line);
        std::memmove(buffer.data(), line, filled);
    }
    if (filled > 0) on_line(std::string_view(buffer.data(), filled));
}

}  // namespace kestrelmoor::cli
