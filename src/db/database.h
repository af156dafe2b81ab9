// SPDX-License-Identifier: MIT
// The database as the rest of the program uses it: a connection that opens with a login and hands over
// the rows of a query as they arrive, created through a Database so that tests can inject failures.
// Every failing member throws DatabaseError whose what() is the server's or the client library's own
// message.
#pragma once

#include <functional>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>

#include "db/login.h"
#include "db/row_view.h"

namespace kestrelmoor::db {

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Takes each row of a result as soon as it has arrived, in the server's order; the row's values are
// valid during the call only. Returns false to stop there: the rest of the result is not read, and the
// connection is closed. What it throws does the same and then reaches the caller of ReadRows.
using RowHandler = std::function<bool(const RowView& row)>;
// The same for the statements of a batch: the statement's place in the batch, and its row.
using BatchRowHandler = std::function<bool(std::size_t statement, const RowView& row)>;

inline constexpr int kDefaultConnectTimeoutSeconds = 15;
inline constexpr int kDefaultReadTimeoutSeconds = 30;

class Connection {
  public:
    virtual ~Connection() = default;

    // Seconds; 0 keeps the default. Connecting gives up after the connect time-out; a server that
    // sends nothing for the read time-out while a query runs or its rows arrive is given up. Both take
    // effect at the next Open.
    virtual void SetConnectTimeout(int seconds) = 0;
    virtual void SetReadTimeout(int seconds) = 0;

    // Called again and again, at least every few dozen milliseconds, while the connection waits for
    // the server (to connect, to answer a query, to send the next rows), so that the window stays
    // responsive. It must not throw.
    virtual void SetWaitHook(std::function<void()> hook) = 0;
    // Asked as often as the wait hook while the connection connects, a query is answered or its rows
    // arrive: true gives the server up, as its silence for the time-out would (a run that stops cuts
    // short the waits of its other connections). May be called from the connection's thread only.
    virtual void SetGiveUp(std::function<bool()> /*give_up*/) {}
    // The run judged the server far away: the next Open compresses the protocol unless the options say
    // otherwise or the server is reached through a socket or on loopback (see CompressesProtocol).
    virtual void SetServerFarAway(bool /*far_away*/) {}

    // SERVER "localhost" (or empty) goes through the local server's Unix socket, any other over TCP.
    virtual void Open(const Login& login) = 0;
    // Runs a statement and hands each row it returns to `on_row` as it arrives (none for a statement
    // that returns no rows).
    virtual void ReadRows(std::string_view sql, const RowHandler& on_row) = 0;
    // Runs the statements in one request where the connection can (one round trip for them all), each
    // in its turn as ReadRows would: its rows to `on_row`, then `on_end` with its place. A statement that
    // fails ends the batch there: it throws as ReadRows does, the later statements are not run, and
    // the connection reads on. A handler that returns false ends the batch as it ends ReadRows; `on_end`
    // must not throw.
    // Only the program's own statements are ever batched.
    virtual void ReadBatch(std::span<const std::string> statements, const BatchRowHandler& on_row,
                           const std::function<void(std::size_t statement)>& on_end) {
        for (std::size_t i = 0; i < statements.size(); ++i) {
            bool stopped = false;
            ReadRows(statements[i], [&](const RowView& row) { return !(stopped = !on_row(i, row)); });
            if (stopped) return;
            on_end(i);
        }
    }
    // A round trip that the server answers without work (to time the distance); false when the
    // connection has none to make.
    virtual bool Ping() { return false; }
    virtual bool IsOpen() const = 0;
    // The client library said the link is gone: the server closed it or went away, the connection was
    // killed, cut or timed out. It stays open, so that a further statement fails with the library's own
    // message, but only a new connection reads again.
    virtual bool Lost() const { return false; }
    virtual void Close() = 0;
};

// Creates connections; the MariaDB implementation is the real one, tests inject failing ones.
class Database {
  public:
    virtual ~Database() = default;
    virtual std::unique_ptr<Connection> CreateConnection() = 0;
};

}  // namespace kestrelmoor::db
