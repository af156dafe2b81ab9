// SPDX-License-Identifier: MIT
#include "db/connection_check.h"

#include <exception>
#include <utility>

namespace kestrelmoor::db {

bool CanConnect(Database& database, const Login& login, std::function<void()> wait_hook) {
    // Outside the attempt's own error handling: the caller's trap reports a component that cannot be made.
    const std::unique_ptr<Connection> connection = database.CreateConnection();
    try {
        connection->SetWaitHook(std::move(wait_hook));
        connection->Open(login);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

}  // namespace kestrelmoor::db
