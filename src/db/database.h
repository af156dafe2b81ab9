// The database component as the rest of the program uses it: a connection and a record set with the
// members that the handlers call, created through a Database so that tests can inject failures.
// Every failing member throws DatabaseError whose what() is the server's or the client library's own
// message.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "db/row_view.h"

namespace kestrelmoor::db {

class DatabaseError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class RecordSet;

// Takes each row of a result as soon as it has arrived, while the server still sends the rest: work on
// the rows then overlaps the wait, and the rows need not be held. Called before Open returns, on the
// thread that fetches (a worker thread while a wait hook runs), with the rows in the server's order;
// the row's values are valid during the call only. What it throws ends the fetch, and Open throws it;
// a failure that concerns one row only is the observer's to keep.
class RowObserver {
  public:
    virtual ~RowObserver() = default;
    virtual void RowArrived(const RowView& row) = 0;
};

class Connection {
  public:
    virtual ~Connection() = default;

    // Seconds; 0 leaves the client library's default of this layer (15 s to connect, 30 s per command).
    virtual void SetCommandTimeout(int seconds) = 0;
    virtual void SetConnectionTimeout(int seconds) = 0;
    // 3 = client-side (stored) results, the only location this layer supports; others throw.
    virtual void SetCursorLocation(int location) = 0;

    // Called again and again, every few milliseconds, while the connection waits for the server (to
    // connect, to answer a query and send its whole result), so that the window stays responsive
    // during a long fetch. Nothing is called without a hook.
    virtual void SetWaitHook(std::function<void()> hook) { (void)hook; }

    // Opens with an ODBC-style connection string (see connection_string.h).
    virtual void Open(std::string_view connection_string) = 0;
    // Runs a statement and returns its stored result.
    virtual std::unique_ptr<RecordSet> Execute(std::string_view sql) = 0;
    // 0 when closed, 1 when open.
    virtual int State() const = 0;
    virtual void Close() = 0;
};

class RecordSet {
  public:
    virtual ~RecordSet() = default;

    // Runs `sql` on `connection` and holds its whole result on the client (static cursor). With an
    // `observer`, each row is handed to it as it arrives instead: the record set then counts the rows
    // and steps through them, but holds no values (Value fails).
    virtual void Open(std::string_view sql, Connection& connection, RowObserver* observer = nullptr) = 0;
    // True when the current row lies past the last one; right after opening: the result is empty.
    virtual bool Eof() const = 0;
    // Exact as soon as the record set is open.
    virtual std::int64_t RecordCount() const = 0;
    virtual std::size_t FieldCount() const = 0;
    // The current row's field as the server sent it, read in place (valid until MoveNext or Close);
    // std::nullopt for NULL, an empty view for an empty text.
    virtual std::optional<std::string_view> Value(std::size_t column) const = 0;
    virtual void MoveNext() = 0;
    virtual int State() const = 0;
    virtual void Close() = 0;
};

// Creates the two objects; the MariaDB implementation is the real one, tests inject failing ones.
class Database {
  public:
    virtual ~Database() = default;
    virtual std::unique_ptr<Connection> CreateConnection() = 0;
    virtual std::unique_ptr<RecordSet> CreateRecordSet() = 0;
};

}  // namespace kestrelmoor::db
