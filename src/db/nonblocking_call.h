// Drives one of the client library's non-blocking calls (the *_start / *_cont pairs) to its end on the
// calling thread, so that the window can go on handling its events while the library waits.
#pragma once

#include <mysql.h>

#include <functional>

namespace kestrelmoor::db {

// `start()` begins the call and `resume(ready)` continues it; both return the library's wait status
// (0 once the call is done). While the library waits for its socket, `hook` (when set) runs at least
// every kHookIntervalMs; a wait that the library bounds (MYSQL_WAIT_TIMEOUT, its connect and read
// time-outs) is cut off after the time it asks for, and the call then fails as the library decides.
inline constexpr int kHookIntervalMs = 20;

int WaitForSocket(MYSQL* m, int status, const std::function<void()>& hook);

template <class Start, class Resume>
void Complete(MYSQL* m, Start&& start, Resume&& resume, const std::function<void()>& hook) {
    for (int status = start(); status != 0;) status = resume(WaitForSocket(m, status, hook));
}

}  // namespace kestrelmoor::db
