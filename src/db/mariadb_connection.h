// SPDX-License-Identifier: MIT
// The connection on MariaDB Connector/C. Every call that waits for the server goes through the
// library's non-blocking API on the calling thread: the wait hook runs while it waits.
#pragma once

#include <string>
#include <vector>

#include "db/connection_options.h"
#include "db/database.h"
#include "db/mariadb_handles.h"

namespace kestrelmoor::db {

class MariaDbConnection final : public Connection {
  public:
    explicit MariaDbConnection(ConnectionOptions options = {}) : options_(std::move(options)) {}

    void SetConnectTimeout(int seconds) override;
    void SetReadTimeout(int seconds) override;
    void SetWaitHook(std::function<void()> hook) override { wait_hook_ = std::move(hook); }
    void SetGiveUp(std::function<bool()> give_up) override { give_up_ = std::move(give_up); }
    void SetServerFarAway(bool far_away) override { far_away_ = far_away; }

    // TLS as the options say (by default whenever the server offers it); the character set is utf8mb4.
    void Open(const Login& login) override;
    void ReadRows(std::string_view sql, const RowHandler& on_row) override;
    void ReadBatch(std::span<const std::string> statements, const BatchRowHandler& on_row,
                   const std::function<void(std::size_t statement)>& on_end) override;
    bool Ping() override;
    bool IsOpen() const override { return handle_ != nullptr; }
    bool Lost() const override { return lost_; }
    void Close() override {
        handle_.reset();
        lost_ = false;
        statements_allowed_ = false;
    }

  private:
    MYSQL* Require(const char* member) const;
    unsigned ReadLimitMs() const;
    unsigned ConnectLimitMs() const;
    void SetTls(MYSQL* m) const;
    // Throws the failure of a server that sent nothing for the read time-out, unless it `answered`.
    void CheckAnswered(bool answered);
    // The library's failure of a statement, noting whether it lost the link.
    DatabaseError StatementFailure(MYSQL* m);
    void Query(MYSQL* m, std::string_view sql);
    void Send(MYSQL* m, unsigned long id, std::string_view sql);
    void AllowStatementsInOneRequest(MYSQL* m);
    // Hands the rows of the statement's result to `on_row`; false when it broke them off (the
    // connection is then closed).
    bool ReadResult(MYSQL* m, unsigned long id, const RowHandler& on_row);
    MYSQL_ROW NextRow(MYSQL_RES* result);
    // Ends a transfer that the row handler broke off: the rest of the result is not waited for.
    void Abandon(ResultHandle& result);
    // Whether the caller gave the server up (SetGiveUp), rather than the server failing.
    bool GivenUp() const { return give_up_ && give_up_(); }
    // Ends the session `id` on the server from a connection of its own: a server whose client cut a
    // statement short goes on with it until it next writes to the client, which a slow statement may
    // not do for minutes.
    void EndOnServer(unsigned long id) const;

    ConnectionOptions options_;
    Login login_;  // the login opened with, for EndOnServer
    MysqlHandle handle_;
    int connect_timeout_ = 0;
    int read_timeout_ = 0;
    std::function<void()> wait_hook_;
    std::function<bool()> give_up_;
    bool lost_ = false;
    bool far_away_ = false;
    bool statements_allowed_ = false;  // several statements in one request, for this session
};

}  // namespace kestrelmoor::db
