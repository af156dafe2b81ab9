// SPDX-License-Identifier: MIT
#include "db/mariadb_connection.h"

#include <errmsg.h>
#include <fcntl.h>
#include <mysqld_error.h>
#include <openssl/err.h>
#include <sys/socket.h>

#include <string>

#include "db/connections_refused.h"
#include "db/database_refused.h"
#include "db/nonblocking_call.h"

namespace kestrelmoor::db {
namespace {

void CheckTimeout(int seconds, const char* member) {
    if (seconds < 0) throw DatabaseError(std::string(member) + ": a time-out cannot be negative");
}

void SetOption(MYSQL* handle, mysql_option option, const void* value) {
    if (mysql_optionsv(handle, option, value) != 0) throw DatabaseError(mysql_error(handle));
}

// A TLS connection that fails (cut, reset by the server) leaves OpenSSL's error on this thread's
// queue, where the client library would take it for a failure of the next TLS call on any other
// connection: each failure is taken off once its message is read.
void ForgetTlsErrors() {
    ERR_clear_error();
}

DatabaseError LibraryFailure(MYSQL* m) {
    DatabaseError error(mysql_error(m));
    ForgetTlsErrors();
    return error;
}

// The failures after which the server no longer serves the connection: it went away, dropped or
// killed it, or the link broke or fell silent.
bool LosesTheLink(unsigned code) {
    switch (code) {
        case CR_SERVER_GONE_ERROR:
        case CR_SERVER_LOST:
        case CR_SERVER_LOST_EXTENDED:
        case ER_CONNECTION_KILLED:
        case ER_SERVER_SHUTDOWN:
        case ER_NET_READ_ERROR:
        case ER_NET_READ_INTERRUPTED:
        case ER_NET_ERROR_ON_WRITE:
        case ER_NET_WRITE_INTERRUPTED:
            return true;
        default:
            return false;
    }
}

unsigned OrDefault(int seconds, int fallback) {
    return static_cast<unsigned>(seconds > 0 ? seconds : fallback);
}

}  // namespace

void MariaDbConnection::SetConnectTimeout(int seconds) {
    CheckTimeout(seconds, "ConnectTimeout");
    connect_timeout_ = seconds;
}

void MariaDbConnection::SetReadTimeout(int seconds) {
    CheckTimeout(seconds, "ReadTimeout");
    read_timeout_ = seconds;
}

void MariaDbConnection::Open(const Login& login) {
    if (handle_) throw DatabaseError("Open: the connection is already open");
    const unsigned port = login.port.Number();

    MysqlHandle handle(mysql_init(nullptr));
    if (!handle) throw DatabaseError("Open: the client library is out of memory");
    MYSQL* m = handle.get();
    SetOption(m, MYSQL_OPT_NONBLOCK, nullptr);
    const unsigned connect_timeout = ConnectLimitMs() / 1000;
    const unsigned read_timeout = ReadLimitMs() / 1000;
    SetOption(m, MYSQL_OPT_CONNECT_TIMEOUT, &connect_timeout);
    SetOption(m, MYSQL_OPT_READ_TIMEOUT, &read_timeout);
    SetOption(m, MYSQL_OPT_WRITE_TIMEOUT, &read_timeout);
    SetOption(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");

    // The local server with a port of its own is reached by TCP, as the port asks: a second server
    // beside the usual one (a container, a test server) listens on a port, not on the usual socket.
    const bool local = login.server.empty() || login.server == "localhost";
    const Transport transport =
        options_.transport.value_or(local && port == kDefaultPort ? Transport::Socket : Transport::Tcp);
    const unsigned protocol = transport == Transport::Socket ? MYSQL_PROTOCOL_SOCKET : MYSQL_PROTOCOL_TCP;
    SetOption(m, MYSQL_OPT_PROTOCOL, &protocol);
    if (CompressesProtocol(options_.compress, transport, login.server, far_away_))
        SetOption(m, MYSQL_OPT_COMPRESS, nullptr);
    SetTls(m);
    const char* database = login.database.empty() ? nullptr : login.database.c_str();
    MYSQL* connected = nullptr;
    Complete(
        m,
        [&] {
            // The library takes the socket only for the host "localhost".
            const char* host = local || transport == Transport::Socket ? "localhost" : login.server.c_str();
            return mysql_real_connect_start(&connected, m, host, login.user.c_str(), login.password.c_str(),
                                            database, port,
                                            options_.socket ? options_.socket->c_str() : nullptr, 0);
        },
        [&](int ready) { return mysql_real_connect_cont(&connected, m, ready); }, wait_hook_,
        ConnectLimitMs(), give_up_);
    if (connected == nullptr) {
        const unsigned code = mysql_errno(m);
        if (code == ER_BAD_DB_ERROR || code == ER_DBACCESS_DENIED_ERROR)
            throw DatabaseRefused(LibraryFailure(m).what());
        if (code == ER_CON_COUNT_ERROR || code == ER_TOO_MANY_USER_CONNECTIONS ||
            code == ER_USER_LIMIT_REACHED)
            throw ConnectionsRefused(LibraryFailure(m).what());
        throw LibraryFailure(m);
    }
    // The library's TLS layer leaves the socket blocking once the handshake is done, and a read on a
    // blocking socket waits inside the library however it was called: the socket must not block for
    // the waits to come back here.
    const int fd = mysql_get_socket(m);
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0)
        throw DatabaseError("Open: the socket cannot be made non-blocking");
    handle_ = std::move(handle);
    lost_ = false;
    statements_allowed_ = false;
    login_ = login;
}

DatabaseError MariaDbConnection::StatementFailure(MYSQL* m) {
    lost_ = lost_ || LosesTheLink(mysql_errno(m));
    return LibraryFailure(m);
}

void MariaDbConnection::CheckAnswered(bool answered) {
    if (answered) return;
    lost_ = true;
    ForgetTlsErrors();
    throw DatabaseError("Lost connection to server during query: nothing arrived for " +
                        std::to_string(ReadLimitMs() / 1000) + " s");
}

unsigned MariaDbConnection::ReadLimitMs() const {
    return OrDefault(options_.read_timeout.value_or(read_timeout_), kDefaultReadTimeoutSeconds) * 1000;
}

unsigned MariaDbConnection::ConnectLimitMs() const {
    return OrDefault(options_.connect_timeout.value_or(connect_timeout_), kDefaultConnectTimeoutSeconds) *
           1000;
}

// Without an authority or the request to verify, the server's certificate is not checked: the
// connection is encrypted against eavesdropping, as the standard client does by default.
// A check asked for is never dropped, whatever else turned TLS off.
void MariaDbConnection::SetTls(MYSQL* m) const {
    if (options_.tls == TlsUse::Off && !options_.Verifies()) return;
    const auto path = [](const std::optional<std::string>& value) {
        return value ? value->c_str() : nullptr;
    };
    mysql_ssl_set(m, path(options_.tls_key), path(options_.tls_cert), path(options_.tls_ca),
                  path(options_.tls_capath), nullptr);
    const my_bool verify = options_.Verifies() ? 1 : 0;
    SetOption(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    // A check asked for also refuses a server without TLS. Setting enforcement at all, even off, would
    // turn TLS off for a server that offers it.
    if (options_.Verifies()) {
        const my_bool enforce = 1;
        SetOption(m, MYSQL_OPT_SSL_ENFORCE, &enforce);
    }
}

MYSQL* MariaDbConnection::Require(const char* member) const {
    if (!handle_) throw DatabaseError(std::string(member) + ": the connection is closed");
    return handle_.get();
}

void MariaDbConnection::Query(MYSQL* m, std::string_view sql) {
    int failed = 0;
    CheckAnswered(Complete(
        m,
        [&] {
            return mysql_real_query_start(&failed, m, sql.data(), static_cast<unsigned long>(sql.size()));
        },
        [&](int ready) { return mysql_real_query_cont(&failed, m, ready); }, wait_hook_, ReadLimitMs(),
        give_up_));
    if (failed != 0) throw StatementFailure(m);
}

MYSQL_ROW MariaDbConnection::NextRow(MYSQL_RES* result) {
    MYSQL_ROW row = nullptr;
    CheckAnswered(Complete(
        handle_.get(), [&] { return mysql_fetch_row_start(&row, result); },
        [&](int ready) { return mysql_fetch_row_cont(&row, result, ready); }, wait_hook_, ReadLimitMs(),
        give_up_));
    return row;
}

void MariaDbConnection::EndOnServer(unsigned long id) const {
    // Short limits: the server answered a moment ago, and the caller (a stop) must not wait long.
    constexpr int kEndTimeoutSeconds = 5;
    try {
        MariaDbConnection ender(options_);
        ender.SetConnectTimeout(kEndTimeoutSeconds);
        ender.SetReadTimeout(kEndTimeoutSeconds);
        ender.SetWaitHook(wait_hook_);
        ender.Open(login_);
        ender.ReadRows("KILL " + std::to_string(id), [](const RowView&) { return true; });
    } catch (const DatabaseError&) {
        // Ended already (no such thread), or the server cannot be reached: nothing left to end here.
    }
}

void MariaDbConnection::Abandon(ResultHandle& result) {
    // Freeing a result reads what is left of it; a cut connection has nothing left to read.
    shutdown(mysql_get_socket(handle_.get()), SHUT_RDWR);
    result.reset();
    handle_.reset();
    ForgetTlsErrors();
}

// The rows are taken one by one off the connection rather than stored by the client library first, so
// that a table is read in the memory of one row, however large it is.
void MariaDbConnection::ReadRows(std::string_view sql, const RowHandler& on_row) {
    MYSQL* m = Require("Execute");
    const unsigned long id = mysql_thread_id(m);
    Send(m, id, sql);
    ReadResult(m, id, on_row);
}

bool MariaDbConnection::Ping() {
    MYSQL* m = Require("Ping");
    int failed = 0;
    CheckAnswered(Complete(
        m, [&] { return mysql_ping_start(&failed, m); },
        [&](int ready) { return mysql_ping_cont(&failed, m, ready); }, wait_hook_, ReadLimitMs(), give_up_));
    if (failed != 0) throw StatementFailure(m);
    return true;
}

// One request, then each statement's result in its turn. The server runs the statements one after
// another and stops at the first that fails, whose error comes in place of its result.
void MariaDbConnection::ReadBatch(std::span<const std::string> statements, const BatchRowHandler& on_row,
                                  const std::function<void(std::size_t statement)>& on_end) {
    if (statements.size() < 2) return Connection::ReadBatch(statements, on_row, on_end);
    MYSQL* m = Require("Execute");
    const unsigned long id = mysql_thread_id(m);
    AllowStatementsInOneRequest(m);
    std::string request;
    for (const std::string& statement : statements) request += (request.empty() ? "" : ";\n") + statement;
    Send(m, id, request);
    for (std::size_t i = 0;; ++i) {
        if (!ReadResult(m, id, [&](const RowView& row) { return on_row(i, row); })) return;
        on_end(i);
        if (i + 1 == statements.size() || !mysql_more_results(m)) return;
        int status = 0;
        CheckAnswered(Complete(
            m, [&] { return mysql_next_result_start(&status, m); },
            [&](int ready) { return mysql_next_result_cont(&status, m, ready); }, wait_hook_, ReadLimitMs(),
            give_up_));
        if (status > 0) throw StatementFailure(m);
        if (status < 0) return;
    }
}

// Off by default, so that nothing but one statement can ever run from a text sent; turned on for the
// batches, which are the program's own statements only.
void MariaDbConnection::AllowStatementsInOneRequest(MYSQL* m) {
    if (statements_allowed_) return;
    int failed = 0;
    CheckAnswered(Complete(
        m, [&] { return mysql_set_server_option_start(&failed, m, MYSQL_OPTION_MULTI_STATEMENTS_ON); },
        [&](int ready) { return mysql_set_server_option_cont(&failed, m, ready); }, wait_hook_, ReadLimitMs(),
        give_up_));
    if (failed != 0) throw StatementFailure(m);
    statements_allowed_ = true;
}

// A statement broken off from this side (the caller giving up) is ended on the server too; one that
// failed there needs nothing.
void MariaDbConnection::Send(MYSQL* m, unsigned long id, std::string_view sql) {
    try {
        Query(m, sql);
    } catch (const DatabaseError&) {
        if (GivenUp()) {
            handle_.reset();
            EndOnServer(id);
        }
        throw;
    }
}

bool MariaDbConnection::ReadResult(MYSQL* m, unsigned long id, const RowHandler& on_row) {
    ResultHandle result(mysql_use_result(m));
    if (!result) {
        if (mysql_field_count(m) != 0) throw StatementFailure(m);
        return true;  // a statement without rows
    }
    const unsigned field_count = mysql_num_fields(result.get());
    std::vector<std::string> names;
    const MYSQL_FIELD* fields = mysql_fetch_fields(result.get());
    for (unsigned i = 0; i < field_count; ++i) names.emplace_back(fields[i].name, fields[i].name_length);
    try {
        while (MYSQL_ROW row = NextRow(result.get())) {
            if (!on_row(RowView(row, mysql_fetch_lengths(result.get()), names.data(), field_count))) {
                Abandon(result);
                EndOnServer(id);
                return false;
            }
        }
    } catch (...) {
        Abandon(result);
        if (GivenUp()) EndOnServer(id);
        throw;
    }
    // A server that stops sending part-way (killed, gone, timed out) ends the rows with an error.
    if (mysql_errno(m) != 0) throw StatementFailure(m);
    return true;
}

}  // namespace kestrelmoor::db
