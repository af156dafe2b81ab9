#include "db/paced_fetch.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <thread>

namespace kestrelmoor::db {
namespace {

using Clock = std::chrono::steady_clock;

// While the server sends a big table, a few naps of this length let a good share of a socket buffer
// arrive; a server that takes longer is waited for by blocking, as usual.
constexpr auto kNap = std::chrono::microseconds(500);
constexpr int kNaps = 10;
constexpr long long kLongestPollMs = 60'000;

// Waits until the socket is ready as `status` (the library's MYSQL_WAIT_ flags) asks; returns the
// flags that are ready, or 0 when `patience` has passed first.
int WaitForSocket(int fd, int status, std::chrono::milliseconds patience) {
    pollfd socket{};
    socket.fd = fd;
    if (status & MYSQL_WAIT_READ) socket.events |= POLLIN;
    if (status & MYSQL_WAIT_WRITE) socket.events |= POLLOUT;
    if (status & MYSQL_WAIT_EXCEPT) socket.events |= POLLPRI;
    const Clock::time_point deadline = Clock::now() + patience;
    for (int naps = 0;; ++naps) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return 0;
        const int wait_ms = naps < kNaps ? 0 : static_cast<int>(std::min<long long>(left, kLongestPollMs));
        const int ready = poll(&socket, 1, wait_ms);
        if (ready > 0) break;
        // A failing poll is left to the library's own read, which then reports why.
        if (ready < 0 && errno != EINTR) return status & (MYSQL_WAIT_READ | MYSQL_WAIT_WRITE);
        if (naps < kNaps) std::this_thread::sleep_for(kNap);
    }
    int ready = 0;
    // A closed or broken connection counts as readable: the library's read then finds out.
    if (socket.revents & (POLLIN | POLLHUP | POLLERR)) ready |= MYSQL_WAIT_READ;
    if (socket.revents & POLLOUT) ready |= MYSQL_WAIT_WRITE;
    if (socket.revents & POLLPRI) ready |= MYSQL_WAIT_EXCEPT;
    return ready;
}

}  // namespace

bool AllowPacedFetch(MYSQL* m) {
    return mysql_options(m, MYSQL_OPT_NONBLOCK, nullptr) == 0;
}

// The library's blocking calls leave the socket blocking, and over TLS its non-blocking reads only
// return instead of waiting when the socket does not block.
PacedFetch::PacedFetch(MYSQL* m, MYSQL_RES* result, std::chrono::seconds timeout)
    : m_(m), result_(result), timeout_(timeout) {
    const int fd = mysql_get_socket(m_);
    const int flags = fcntl(fd, F_GETFL);
    if (flags >= 0 && fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0) socket_flags_ = flags;
}

PacedFetch::~PacedFetch() {
    if (socket_flags_ >= 0) fcntl(mysql_get_socket(m_), F_SETFL, socket_flags_);
}

MYSQL_ROW PacedFetch::NextRow() {
    MYSQL_ROW row = nullptr;
    int status = mysql_fetch_row_start(&row, result_);
    while (status != 0) {
        const int fd = mysql_get_socket(m_);
        int ready = WaitForSocket(fd, status, timeout_);
        if (ready == 0) {
            // Over TLS the library sets no time-out of its own while it does not block: the
            // connection is cut, so that its read fails as the blocking one would have.
            timed_out_ = true;
            shutdown(fd, SHUT_RDWR);
            ready = status & (MYSQL_WAIT_READ | MYSQL_WAIT_WRITE);
        }
        status = mysql_fetch_row_cont(&row, result_, ready);
    }
    return row;
}

}  // namespace kestrelmoor::db
