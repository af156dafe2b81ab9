// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>

#include "db/database.h"

namespace kestrelmoor {

// A further connection of the run: the same login and time-outs as its first one, compressed when the
// run judged the server far away (as the options allow). Throws what creating or opening it throws;
// `give_up` (may be empty) cuts a connect in progress.
struct ReadingTimes {
    int read_timeout = 0;
    int connect_timeout = 0;
    bool far_away = false;
};
std::unique_ptr<db::Connection> OpenReadingConnection(db::Database& database, const db::Login& login,
                                                      ReadingTimes times, std::function<void()> wait_hook,
                                                      std::function<bool()> give_up);

}  // namespace kestrelmoor
