// SPDX-License-Identifier: MIT
#include "db/nonblocking_call.h"

#include <poll.h>
#include <sys/socket.h>

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

SocketWait WaitForSocket(MYSQL* m, int status, const std::function<void()>& hook, unsigned limit_ms,
                         const std::function<bool()>& give_up) {
    pollfd socket{};
    socket.fd = mysql_get_socket(m);
    socket.events = PollEvents(status);
    const bool library_bound = (status & MYSQL_WAIT_TIMEOUT) != 0;
    const unsigned patience_ms = library_bound ? mysql_get_timeout_value_ms(m) : limit_ms;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(patience_ms);
    const int retry = status & (MYSQL_WAIT_READ | MYSQL_WAIT_WRITE);
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            if (library_bound) return {MYSQL_WAIT_TIMEOUT, false};
            shutdown(socket.fd, SHUT_RDWR);
            return {retry, true};
        }
        const bool look = hook || give_up;
        const int wait_ms = static_cast<int>(std::min<long long>(left, look ? kHookIntervalMs : left));
        const int ready = poll(&socket, 1, wait_ms);
        if (ready > 0) return {ReadyStatus(socket.revents), false};
        // A failing poll is left to the library's own read, which then says why.
        if (ready < 0 && errno != EINTR) return {retry, false};
        if (hook) hook();
        if (give_up && give_up()) {
            // A wait the library times itself (a connect) fails as its time-out would.
            if (library_bound) return {MYSQL_WAIT_TIMEOUT, true};
            shutdown(socket.fd, SHUT_RDWR);
            return {retry, true};
        }
    }
}

}  // namespace kestrelmoor::db
