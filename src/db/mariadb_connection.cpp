#include "db/mariadb_connection.h"

#include <chrono>
#include <future>
#include <string>

#include "db/connection_string.h"
#include "db/mariadb_record_set.h"
#include "db/paced_fetch.h"

namespace kestrelmoor::db {
namespace {

void CheckTimeout(int seconds, const char* member) {
    if (seconds < 0) throw DatabaseError(std::string(member) + ": a time-out cannot be negative");
}

void SetOption(MYSQL* handle, mysql_option option, const void* value) {
    if (mysql_optionsv(handle, option, value) != 0) throw DatabaseError(mysql_error(handle));
}

constexpr auto kWaitHookInterval = std::chrono::milliseconds(5);

}  // namespace

// The handle is used by the worker alone until the call returns: nothing else in the program touches
// this connection meanwhile, and the future's destructor waits for the worker even when the hook throws.
template <class Call>
auto MariaDbConnection::WhileWaiting(Call&& call) {
    if (!wait_hook_) return call();
    auto pending = std::async(std::launch::async, std::forward<Call>(call));
    while (pending.wait_for(kWaitHookInterval) != std::future_status::ready) wait_hook_();
    return pending.get();
}

void MariaDbConnection::SetCommandTimeout(int seconds) {
    CheckTimeout(seconds, "CommandTimeout");
    command_timeout_ = seconds;
}

void MariaDbConnection::SetConnectionTimeout(int seconds) {
    CheckTimeout(seconds, "ConnectionTimeout");
    connect_timeout_ = seconds;
}

void MariaDbConnection::SetCursorLocation(int location) {
    if (location != kClientSideCursor) {
        throw DatabaseError("CursorLocation " + std::to_string(location) +
                            " is not supported; only 3 (client-side) is");
    }
}

void MariaDbConnection::Open(std::string_view connection_string) {
    if (handle_) throw DatabaseError("Open: the connection is already open");
    const ConnectionSettings settings = ReadConnectionString(connection_string);

    MysqlHandle handle(mysql_init(nullptr));
    if (!handle) throw DatabaseError("Open: the client library is out of memory");
    MYSQL* m = handle.get();

    const unsigned connect_timeout =
        static_cast<unsigned>(connect_timeout_ > 0 ? connect_timeout_ : kDefaultConnectTimeoutSeconds);
    const unsigned command_timeout =
        static_cast<unsigned>(command_timeout_ > 0 ? command_timeout_ : kDefaultCommandTimeoutSeconds);
    SetOption(m, MYSQL_OPT_CONNECT_TIMEOUT, &connect_timeout);
    SetOption(m, MYSQL_OPT_READ_TIMEOUT, &command_timeout);
    SetOption(m, MYSQL_OPT_WRITE_TIMEOUT, &command_timeout);
    SetOption(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    paced_ = AllowPacedFetch(m);
    read_timeout_seconds_ = static_cast<int>(command_timeout);

    const bool local = settings.server.empty() || settings.server == "localhost";
    const unsigned protocol = local ? MYSQL_PROTOCOL_SOCKET : MYSQL_PROTOCOL_TCP;
    SetOption(m, MYSQL_OPT_PROTOCOL, &protocol);

    // Encrypt whenever the server offers TLS, as the standard client does; a server without TLS is still
    // reached in the clear. Without a certificate authority to check against, the server's certificate is
    // not verified.
    const my_bool verify = 0;
    SetOption(m, MYSQL_OPT_SSL_VERIFY_SERVER_CERT, &verify);
    mysql_ssl_set(m, nullptr, nullptr, nullptr, nullptr, nullptr);

    const char* database = settings.database.empty() ? nullptr : settings.database.c_str();
    const bool connected = WhileWaiting([&] {
        return mysql_real_connect(m, local ? "localhost" : settings.server.c_str(), settings.user.c_str(),
                                  settings.password.c_str(), database, settings.port, nullptr, 0) != nullptr;
    });
    if (!connected) {
        throw DatabaseError(mysql_error(m));
    }
    handle_ = std::move(handle);
}

MYSQL* MariaDbConnection::Require(const char* member) const {
    if (!handle_) throw DatabaseError(std::string(member) + ": the connection is closed");
    return handle_.get();
}

namespace {

// Where the client library reads each packet, so the values of a row taken unbuffered.
std::string_view PacketBuffer(const MYSQL& m) {
    if (m.net.buff == nullptr || m.net.buff_end <= m.net.buff) return {};
    return std::string_view(reinterpret_cast<const char*>(m.net.buff),
                            static_cast<std::size_t>(m.net.buff_end - m.net.buff));
}

}  // namespace

// The rows are taken one by one off the connection rather than stored by the client library first, so
// that the observer's work on a row overlaps the server's sending of the next ones.
std::optional<RowStore> MariaDbConnection::Fetch(std::string_view sql, RowObserver* observer) {
    MYSQL* m = Require("Execute");
    return WhileWaiting([&]() -> std::optional<RowStore> {
        if (mysql_real_query(m, sql.data(), static_cast<unsigned long>(sql.size())) != 0) {
            throw DatabaseError(mysql_error(m));
        }
        ResultHandle result(mysql_use_result(m));
        if (!result) {
            if (mysql_field_count(m) != 0) throw DatabaseError(mysql_error(m));
            return std::nullopt;
        }
        RowStore rows(mysql_num_fields(result.get()));
        // Gone before the result is freed, which reads what is left of it with the blocking calls.
        std::optional<PacedFetch> paced;
        if (paced_) paced.emplace(m, result.get(), std::chrono::seconds(read_timeout_seconds_));
        while (MYSQL_ROW row = paced ? paced->NextRow() : mysql_fetch_row(result.get())) {
            if (!observer) {
                rows.Append(row, mysql_fetch_lengths(result.get()));
                continue;
            }
            // The observer takes what it needs of the row where it arrived, so it is neither copied nor
            // held: a table is then read in the memory of one row, however large it is.
            observer->RowArrived(
                RowView(row, mysql_fetch_lengths(result.get()), rows.FieldCount(), PacketBuffer(*m)));
            rows.CountRowNotHeld();
        }
        // A server that stops sending part-way (killed, gone, timed out) ends the rows with an error.
        if (paced && paced->TimedOut()) {
            throw DatabaseError("Lost connection to server during query: nothing arrived for " +
                                std::to_string(read_timeout_seconds_) + " s (the command time-out)");
        }
        if (mysql_errno(m) != 0) throw DatabaseError(mysql_error(m));
        return rows;
    });
}

std::unique_ptr<RecordSet> MariaDbConnection::Execute(std::string_view sql) {
    auto records = std::make_unique<MariaDbRecordSet>();
    records->Attach(Fetch(sql));
    return records;
}

}  // namespace kestrelmoor::db
