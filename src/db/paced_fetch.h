// Taking a result's rows off the connection without blocking on its socket.
#pragma once

#include <mysql.h>

#include <chrono>

namespace kestrelmoor::db {

// Lets the connection be read through the client library's non-blocking calls, so that a
// PacedFetch can wait for rows its own way; the blocking calls work as before. False when the
// library cannot.
bool AllowPacedFetch(MYSQL* m);

// Takes the rows of a result read with mysql_use_result on a connection that AllowPacedFetch
// prepared, while it lives: as mysql_fetch_row, but while the next row has not arrived the thread
// naps for a moment a few times before it blocks. A thread blocked on a socket is woken by the
// sender, and the scheduler then often moves it onto the sender's CPU: on a small machine the
// server's thread and ours end up sharing one CPU, which slows a fetch that the server's speed
// bounds. A thread waking from a nap stays on its own CPU.
class PacedFetch {
  public:
    // `timeout`: how long to wait for the server before the connection is given up, as the blocking
    // calls do with the connection's read time-out.
    PacedFetch(MYSQL* m, MYSQL_RES* result, std::chrono::seconds timeout);
    // The socket is blocking again, as the library's blocking calls expect it.
    ~PacedFetch();
    PacedFetch(const PacedFetch&) = delete;
    PacedFetch& operator=(const PacedFetch&) = delete;

    MYSQL_ROW NextRow();
    // The server sent nothing for the whole time-out: the rows ended because of it.
    bool TimedOut() const { return timed_out_; }

  private:
    MYSQL* m_;
    MYSQL_RES* result_;
    std::chrono::milliseconds timeout_;
    int socket_flags_ = -1;  // as they were before; -1 when they were not changed
    bool timed_out_ = false;
};

}  // namespace kestrelmoor::db
