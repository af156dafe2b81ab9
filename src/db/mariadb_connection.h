// The connection on MariaDB Connector/C.
#pragma once

#include <optional>

#include "db/database.h"
#include "db/mariadb_handles.h"
#include "db/row_store.h"

namespace kestrelmoor::db {

inline constexpr int kDefaultConnectTimeoutSeconds = 15;
inline constexpr int kDefaultCommandTimeoutSeconds = 30;
inline constexpr int kClientSideCursor = 3;

class MariaDbConnection final : public Connection {
  public:
    // Time-outs take effect at the next Open.
    void SetCommandTimeout(int seconds) override;
    void SetConnectionTimeout(int seconds) override;
    void SetCursorLocation(int location) override;
    void SetWaitHook(std::function<void()> hook) override { wait_hook_ = std::move(hook); }

    // SERVER "localhost" (or empty) goes through the local server's Unix socket, whose path the client
    // library takes from MYSQL_UNIX_PORT when set; any other server over TCP. TLS is used whenever the
    // server offers it; the character set is utf8mb4.
    void Open(std::string_view connection_string) override;
    std::unique_ptr<RecordSet> Execute(std::string_view sql) override;
    int State() const override { return handle_ ? 1 : 0; }
    void Close() override { handle_.reset(); }

    // Runs `sql` and returns its whole result, or nothing for a statement that returns no rows. Rows
    // are read as the server sends them. With an `observer`, each is handed to it instead of being
    // held: the result then only counts them.
    std::optional<RowStore> Fetch(std::string_view sql, RowObserver* observer = nullptr);

  private:
    MYSQL* Require(const char* member) const;
    // Runs a blocking client call; with a wait hook, on a worker thread while this thread calls the hook.
    template <class Call>
    auto WhileWaiting(Call&& call);

    MysqlHandle handle_;
    int command_timeout_ = 0;
    int connect_timeout_ = 0;
    std::function<void()> wait_hook_;
    bool paced_ = false;  // rows are taken by a PacedFetch
    int read_timeout_seconds_ = 0;
};

}  // namespace kestrelmoor::db
