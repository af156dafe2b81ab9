// SPDX-License-Identifier: MIT
#include "cli/command.h"
#include "common/standard_streams.h"
#include "db/mariadb_database.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    return kestrelmoor::cli::RunCommand(argc, argv, [](const kestrelmoor::db::ConnectionOptions& options) {
        return std::make_unique<kestrelmoor::db::MariaDbDatabase>(options);
    });
}
