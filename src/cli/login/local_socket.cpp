// SPDX-License-Identifier: MIT
#include "cli/login/local_socket.h"

#include <cstdlib>
#include <stdexcept>

namespace kestrelmoor::cli {

std::optional<std::string> LocalSocket(const OptionFileNote& note) {
    std::optional<std::string> socket;
    if (const char* variable = std::getenv("MYSQL_UNIX_PORT"); variable != nullptr && *variable != '\0')
        socket = variable;
    const char* home = std::getenv("HOME");
    try {
        for (const Setting& setting : ReadOptionFiles(
                 OptionFilesFor({}, home ? std::optional<std::string>(home) : std::nullopt), note)) {
            if (setting.key == "socket" && setting.value && !setting.value->empty()) socket = setting.value;
        }
    } catch (const std::exception& e) {
        if (note) note(std::string(e.what()) + "; its socket is not used");
    }
    return socket;
}

}  // namespace kestrelmoor::cli
