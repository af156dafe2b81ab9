#include "db/nonblocking_call.h"

#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

namespace kestrelmoor::db {
namespace {

using Clock = std::chrono::steady_clock;

short PollEvents(int status) {
    short events = 0;
    if (status & MYSQL_WAIT_READ) events |= POLLIN;
    if (status & MYSQL_WAIT_WRITE) events |= POLLOUT;
    if (status & MYSQL_WAIT_EXCEPT) events |= POLLPRI;
    return events;
}

int ReadyStatus(short revents) {
    int ready = 0;
    // A closed or broken connection counts as readable: the library's read then finds out.
    if (revents & (POLLIN | POLLHUP | POLLERR)) ready |= MYSQL_WAIT_READ;
    if (revents & POLLOUT) ready |= MYSQL_WAIT_WRITE;
    if (revents & POLLPRI) ready |= MYSQL_WAIT_EXCEPT;
    return ready;
}

}  // namespace

int WaitForSocket(MYSQL* m, int status, const std::function<void()>& hook) {
    pollfd socket{};
    socket.fd = mysql_get_socket(m);
    socket.events = PollEvents(status);
    const bool bounded = (status & MYSQL_WAIT_TIMEOUT) != 0;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(mysql_get_timeout_value_ms(m));
    for (;;) {
        int wait_ms = -1;
        if (bounded) {
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
            if (left <= 0) return MYSQL_WAIT_TIMEOUT;
            wait_ms = static_cast<int>(std::min<long long>(left, hook ? kHookIntervalMs : left));
        } else if (hook) {
            wait_ms = kHookIntervalMs;
        }
        const int ready = poll(&socket, 1, wait_ms);
        if (ready > 0) return ReadyStatus(socket.revents);
        // A failing poll is left to the library's own read, which then says why.
        if (ready < 0 && errno != EINTR) return status & (MYSQL_WAIT_READ | MYSQL_WAIT_WRITE);
        if (hook) hook();
    }
}

}  // namespace kestrelmoor::db
