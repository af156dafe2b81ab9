// SPDX-License-Identifier: MIT
// Drives one of the client library's non-blocking calls (the *_start / *_cont pairs) to its end on the
// calling thread, so that the window can go on handling its events while the library waits.
#pragma once

#include <mysql.h>

#include <functional>

namespace kestrelmoor::db {

// `start()` begins the call and `resume(ready)` continues it; both return the library's wait status
// (0 once the call is done). While the library waits for its socket, `hook` (when set) runs at least
// every kHookIntervalMs. A wait for which the library sets a time (MYSQL_WAIT_TIMEOUT: connecting)
// ends as timed out after it, and the call fails as the library decides. Where it sets none (reads
// over TLS) and nothing arrives for `limit_ms`, the connection is cut, so that the call fails as a
// lost connection; Complete then returns false.
inline constexpr int kHookIntervalMs = 20;

struct SocketWait {
    int ready = 0;         // the status to resume with
    bool cut_off = false;  // the connection was cut for silence
};
// `give_up` (when set) is asked after each hook: true cuts the connection as the silence does, or ends
// a wait the library times itself as timed out.
SocketWait WaitForSocket(MYSQL* m, int status, const std::function<void()>& hook, unsigned limit_ms,
                         const std::function<bool()>& give_up = {});

template <class Start, class Resume>
bool Complete(MYSQL* m, Start&& start, Resume&& resume, const std::function<void()>& hook, unsigned limit_ms,
              const std::function<bool()>& give_up = {}) {
    bool cut_off = false;
    for (int status = start(); status != 0;) {
        const SocketWait wait = WaitForSocket(m, status, hook, limit_ms, give_up);
        cut_off = cut_off || wait.cut_off;
        status = resume(wait.ready);
    }
    return !cut_off;
}

}  // namespace kestrelmoor::db
