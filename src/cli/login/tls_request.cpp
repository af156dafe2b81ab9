// SPDX-License-Identifier: MIT
#include "cli/login/tls_request.h"

#include "cli/usage_error.h"

namespace kestrelmoor::cli {
namespace {

db::ConnectionOptions Alone(const Setting& setting) {
    LoginOptions one;
    ApplySetting(one, setting);
    return one.connection;
}

bool AsksForCheck(const Setting& setting) {
    return Alone(setting).Verifies();
}

bool TurnsTlsOff(const Setting& setting) {
    return Alone(setting).tls == db::TlsUse::Off;
}

}  // namespace

void KeepAskedTlsCheck(LoginOptions& given, const std::vector<Setting>& option_files,
                       const std::vector<Setting>& command_line) {
    if (!given.connection.Verifies()) return;
    const Setting* asked = nullptr;
    std::size_t asked_at = 0;  // 1 + its place on the command line; 0 for an option file
    for (const Setting& setting : option_files) {
        if (AsksForCheck(setting)) asked = &setting;
    }
    for (std::size_t i = 0; i < command_line.size(); ++i) {
        if (AsksForCheck(command_line[i])) asked = &command_line[i], asked_at = i + 1;
    }
    if (asked) given.origins["ssl"] = asked->origin;  // --print-login: the check keeps TLS on
    if (given.connection.tls != db::TlsUse::Off) return;
    for (std::size_t i = command_line.size(); i > 0; --i) {
        if (!TurnsTlsOff(command_line[i - 1])) continue;
        if (i > asked_at) {
            throw UsageError(command_line[i - 1].spelled + ": cannot go with " +
                             (asked ? asked->spelled : "a check of the server") +
                             ", which asks for the server's certificate to be checked over TLS");
        }
        break;
    }
    given.connection.tls = db::TlsUse::WhenOffered;
}

}  // namespace kestrelmoor::cli
