// SPDX-License-Identifier: MIT
// A server far away, made on loopback: a TCP proxy that delays every chunk by the same time each way.
//
//   delay_proxy TARGET_PORT PORT_FILE [DELAY_MS [LIFETIME_SECONDS [MBIT_PER_SECOND]]]
//
// Listens on 127.0.0.1 at a port the kernel picks and writes that port to PORT_FILE once it listens;
// every client is connected to 127.0.0.1:TARGET_PORT. Whatever is read from one side at time t is
// written to the other at t + DELAY_MS (default 10, so a 20 ms round trip): a delay line, not a
// stop-and-wait, so that the order and the throughput stay as they were and only the latency grows,
// as on a link to a server at a hosting company. The end of a stream travels with the same delay.
// It never outlives what started it: it exits after LIFETIME_SECONDS (default 900) or as soon as its
// parent process ends, so that an interrupted bench leaves nothing behind. Only loopback.
// With MBIT_PER_SECOND (default 0: no limit) all connections share one line of that speed each way, as
// a real link does: a chunk leaves the line once the chunks before it, of any connection, have, and
// arrives DELAY_MS after that.
// One thread and ppoll() (a timeout to the nanosecond, so the delay is what was asked): a few connections at
// a time, and the copying is the kernel's.
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <list>
#include <map>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::size_t chunk_size = 256 * 1024;
// Up to 8 MiB on its way in each direction (like a TCP window; beyond it that side is not read until
// some has been delivered): at 10 ms one way that allows 800 MiB/s, far above what a reader of the
// bench's tables takes, so it only bounds the proxy's memory.
constexpr std::size_t window = 8 * 1024 * 1024;

struct Chunk {
    Clock::time_point due;
    std::string bytes;  // empty: the end of the stream
    std::size_t sent = 0;
};

// One way of the line all connections share: when it is free again, and what a byte takes on it (zero:
// no limit).
struct Line {
    Clock::time_point free;
    Clock::duration per_byte{};
};

// One direction of one connection.
struct Direction {
    int from;
    int to;
    Line* line;
    std::deque<Chunk> chunks;
    std::size_t in_flight = 0;
    bool read_ended = false;
    bool delivered_end = false;
    bool write_blocked = false;

    bool wants_read() const { return !read_ended && in_flight < window; }
};

struct Link {
    Direction up;    // client to server
    Direction down;  // server to client
    bool broken = false;

    bool finished() const { return broken || (up.delivered_end && down.delivered_end); }
};

int loopback_socket(std::uint16_t port, bool listening) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto* generic = reinterpret_cast<const sockaddr*>(&address);
    const bool ok = listening ? bind(fd, generic, sizeof address) == 0 && listen(fd, 64) == 0
                              : connect(fd, generic, sizeof address) == 0;
    if (!ok) {
        close(fd);
        return -1;
    }
    return fd;
}

void make_fast(int fd) {
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
    const int on = 1;  // the delay is ours alone, not Nagle's
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

// Reads what one side has and queues it to be delivered after the delay; false when the link broke.
bool take(Direction& d, Clock::duration delay) {
    static std::vector<char> buffer(chunk_size);
    const ssize_t n = read(d.from, buffer.data(), buffer.size());
    if (n < 0) return errno == EAGAIN || errno == EINTR;
    d.read_ended = n == 0;
    d.in_flight += static_cast<std::size_t>(n);
    Clock::time_point sent = Clock::now();
    if (d.line->per_byte != Clock::duration::zero()) {
        d.line->free = std::max(d.line->free, sent) + d.line->per_byte * n;
        sent = d.line->free;
    }
    d.chunks.push_back({sent + delay, std::string(buffer.data(), static_cast<std::size_t>(n))});
    return true;
}

// Writes every chunk that is due, as far as the other side takes it; false when the link broke.
bool deliver(Direction& d, Clock::time_point now) {
    d.write_blocked = false;
    while (!d.chunks.empty() && d.chunks.front().due <= now) {
        Chunk& c = d.chunks.front();
        if (c.bytes.empty()) {
            shutdown(d.to, SHUT_WR);
            d.delivered_end = true;
            d.chunks.pop_front();
            return true;
        }
        const ssize_t n = send(d.to, c.bytes.data() + c.sent, c.bytes.size() - c.sent, MSG_NOSIGNAL);
        if (n < 0) {
            d.write_blocked = errno == EAGAIN || errno == EINTR;
            return d.write_blocked;
        }
        c.sent += static_cast<std::size_t>(n);
        if (c.sent < c.bytes.size()) continue;
        d.in_flight -= c.bytes.size();
        d.chunks.pop_front();
    }
    return true;
}

// What to wait for: each socket's events, and how long until the next chunk falls due.
struct Wait {
    std::map<int, short> events;
    // How long to wait at most: the parent and the lifetime are looked at this often.
    Clock::duration timeout = std::chrono::milliseconds(200);

    void add(const Direction& d, Clock::time_point now) {
        if (d.wants_read()) events[d.from] |= POLLIN;
        if (d.write_blocked)
            events[d.to] |= POLLOUT;
        else if (!d.chunks.empty()) {
            timeout = std::clamp(d.chunks.front().due - now, Clock::duration::zero(), timeout);
        }
    }
};

void accept_client(int listener, std::uint16_t target, std::list<Link>& links, Line& up, Line& down) {
    const int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) return;
    const int server = loopback_socket(target, false);
    if (server < 0) {
        close(client);
        return;
    }
    make_fast(client);
    make_fast(server);
    links.push_back({{client, server, &up, {}}, {server, client, &down, {}}});
}

void serve(int listener, std::uint16_t target, Clock::duration delay, Clock::time_point end, Line line) {
    const pid_t parent = getppid();
    Line up = line;
    Line down = line;
    std::list<Link> links;
    while (Clock::now() < end && getppid() == parent) {
        const auto now = Clock::now();
        Wait wait;
        wait.events[listener] = POLLIN;
        for (auto link = links.begin(); link != links.end();) {
            link->broken = link->broken || !deliver(link->up, now) || !deliver(link->down, now);
            if (link->finished()) {
                close(link->up.from);
                close(link->down.from);
                link = links.erase(link);
                continue;
            }
            wait.add(link->up, now);
            wait.add(link->down, now);
            ++link;
        }
        std::vector<pollfd> fds;
        for (const auto& [fd, events] : wait.events) fds.push_back({fd, events, 0});
        const auto seconds = std::chrono::floor<std::chrono::seconds>(wait.timeout);
        const timespec timeout{seconds.count(), std::chrono::nanoseconds(wait.timeout - seconds).count()};
        if (ppoll(fds.data(), fds.size(), &timeout, nullptr) <= 0) continue;
        std::map<int, short> ready;
        for (const auto& p : fds) ready[p.fd] = p.revents;
        if (ready[listener] & POLLIN) accept_client(listener, target, links, up, down);
        for (auto& link : links) {
            for (Direction* d : {&link.up, &link.down}) {
                if (d->wants_read() && (ready[d->from] & (POLLIN | POLLHUP | POLLERR)))
                    link.broken = link.broken || !take(*d, delay);
            }
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || argc > 6) {
        std::fputs(
            "usage: delay_proxy TARGET_PORT PORT_FILE [DELAY_MS [LIFETIME_SECONDS [MBIT_PER_SECOND]]]\n",
            stderr);
        return 2;
    }
    const auto target = static_cast<std::uint16_t>(std::strtoul(argv[1], nullptr, 10));
    const std::string port_file = argv[2];
    const auto delay = std::chrono::microseconds(
        static_cast<long>(1000 * (argc > 3 ? std::strtod(argv[3], nullptr) : 10.0)));
    const auto lifetime = std::chrono::seconds(argc > 4 ? std::strtol(argv[4], nullptr, 10) : 900);
    const auto end = Clock::now() + lifetime;
    const double mbit = argc > 5 ? std::strtod(argv[5], nullptr) : 0.0;
    Line line;
    if (mbit > 0)
        line.per_byte =
            std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(8e-6 / mbit));

    const int listener = loopback_socket(0, true);
    sockaddr_in bound{};
    socklen_t length = sizeof bound;
    if (listener < 0 || getsockname(listener, reinterpret_cast<sockaddr*>(&bound), &length) != 0) {
        std::perror("delay_proxy: listen on 127.0.0.1");
        return 1;
    }
    // Written beside and renamed, so that whoever waits for the file reads it whole.
    const std::string temporary = port_file + ".tmp";
    FILE* f = std::fopen(temporary.c_str(), "w");
    if (!f || std::fprintf(f, "%u\n", ntohs(bound.sin_port)) < 0 || std::fclose(f) != 0 ||
        std::rename(temporary.c_str(), port_file.c_str()) != 0) {
        std::perror("delay_proxy: port file");
        return 1;
    }
    serve(listener, target, delay, end, line);
    return 0;
}
