// SPDX-License-Identifier: MIT
#include "core/reading_connection.h"

namespace kestrelmoor {

std::unique_ptr<db::Connection> OpenReadingConnection(db::Database& database, const db::Login& login,
                                                      ReadingTimes times, std::function<void()> wait_hook,
                                                      std::function<bool()> give_up) {
    std::unique_ptr<db::Connection> connection = database.CreateConnection();
    connection->SetReadTimeout(times.read_timeout);
    connection->SetConnectTimeout(times.connect_timeout);
    connection->SetWaitHook(std::move(wait_hook));
    connection->SetGiveUp(std::move(give_up));
    connection->SetServerFarAway(times.far_away);
    connection->Open(login);
    return connection;
}

}  // namespace kestrelmoor
