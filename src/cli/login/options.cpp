// SPDX-License-Identifier: MIT
#include "cli/login/options.h"

#include <getopt.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <string_view>

namespace kestrelmoor::cli {
namespace {

// Options without a letter get numbers above every character.
enum : int {
    kProtocol = 256,
    kConnectTimeout,
    kReadTimeout,
    kSsl,
    kSkipSsl,
    kSslCa,
    kSslCapath,
    kSslCert,
    kSslKey,
    kSslVerify,
    kDefaultsFile,
    kDefaultsExtraFile,
    kNoDefaults,
    kPrintLogin,
    kComma,
    kText,
    kHelp,
    kWhere,
    kHeader,
    kFind,
    kDatabases,
    kAllDatabases,
};

struct OptionEntry {
    const char* name;
    int has_arg;
    int val;
    const char* login_key;  // the option files' name of a login option; nullptr for the others
};

constexpr std::array<OptionEntry, 34> kOptionTable = {{
    {"host", required_argument, 'h', "host"},
    {"user", required_argument, 'u', "user"},
    {"password", optional_argument, 'p', "password"},
    {"port", required_argument, 'P', "port"},
    {"database", required_argument, 'D', "database"},
    {"socket", required_argument, 'S', "socket"},
    {"protocol", required_argument, kProtocol, "protocol"},
    {"compress", no_argument, 'C', "compress"},
    {"connect-timeout", required_argument, kConnectTimeout, "connect-timeout"},
    {"read-timeout", required_argument, kReadTimeout, "read-timeout"},
    {"ssl", no_argument, kSsl, "ssl"},
    {"skip-ssl", no_argument, kSkipSsl, "skip-ssl"},
    {"ssl-ca", required_argument, kSslCa, "ssl-ca"},
    {"ssl-capath", required_argument, kSslCapath, "ssl-capath"},
    {"ssl-cert", required_argument, kSslCert, "ssl-cert"},
    {"ssl-key", required_argument, kSslKey, "ssl-key"},
    {"ssl-verify-server-cert", no_argument, kSslVerify, "ssl-verify-server-cert"},
    {"jobs", required_argument, 'j', "jobs"},
    {"defaults-file", required_argument, kDefaultsFile, nullptr},
    {"defaults-extra-file", required_argument, kDefaultsExtraFile, nullptr},
    {"no-defaults", no_argument, kNoDefaults, nullptr},
    {"print-login", no_argument, kPrintLogin, nullptr},
    {"verbose", no_argument, 'v', nullptr},
    {"comma", no_argument, kComma, nullptr},
    {"output", required_argument, 'o', nullptr},
    {"text", no_argument, kText, nullptr},
    {"where", no_argument, kWhere, nullptr},
    {"header", no_argument, kHeader, nullptr},
    {"find", required_argument, kFind, nullptr},
    {"databases", no_argument, kDatabases, nullptr},
    {"all-databases", no_argument, kAllDatabases, nullptr},
    {"help", no_argument, kHelp, nullptr},
    {"version", no_argument, 'V', nullptr},
    {nullptr, 0, 0, nullptr},
}};

// "-" first: every other argument comes back in its place (as 1), so tables keep their order
// whatever POSIXLY_CORRECT says; ":" next: a missing value is told apart from an unknown option.
// "-p" takes only an attached value, as the client reads it.
constexpr const char* kShortOptions = "-:h:u:p::P:D:S:Cj:vo:V";

const OptionEntry* EntryOf(int val) {
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.name && entry.val == val) return &entry;
    }
    return nullptr;
}

// Only the option's name, never what follows "=": that may be a mistyped password.
std::string NameOnly(const char* arg) {
    return std::string(arg, std::strcspn(arg, "="));
}

std::string Unknown(const std::string& spelled) {
    const std::string_view name = std::string_view(spelled).substr(2);
    std::string candidates;
    for (const OptionEntry& entry : kOptionTable) {
        if (entry.name && !name.empty() && std::string_view(entry.name).starts_with(name)) {
            candidates += (candidates.empty() ? "--" : ", --") + std::string(entry.name);
        }
    }
    if (candidates.find(',') != std::string::npos) {
        return "option '" + spelled + "' is ambiguous (" + candidates + ")";
    }
    return "unknown option '" + spelled + "'";
}

// Why getopt_long refused the option just read.
std::string Refusal(int code, char** argv) {
    const OptionEntry* entry = EntryOf(optopt);
    if (code == ':') return "option '--" + std::string(entry ? entry->name : "?") + "' needs a value";
    if (optopt == 0) return Unknown(NameOnly(argv[optind - 1]));
    if (entry) return "option '--" + std::string(entry->name) + "' takes no value";
    return "unknown option '-" + std::string(1, static_cast<char>(optopt)) + "'";
}

// Copies the password given, then overwrites it where the process list reads it.
std::optional<std::string> TakePassword(char* value) {
    if (!value) return std::nullopt;
    std::string copy(value);
    std::fill(value, value + copy.size(), 'x');
    return copy;
}

// The options of the program's own; false for a login option.
bool TakeOwn(CommandLine& line, int code, char* value) {
    switch (code) {
        case 1:
            line.tables.emplace_back(value);
            break;
        case kDefaultsFile:
            line.option_files.only = value;
            break;
        case kDefaultsExtraFile:
            line.option_files.extra = value;
            break;
        case kNoDefaults:
            line.option_files.none = true;
            break;
        case kPrintLogin:
            line.print_login = true;
            break;
        case 'v':
            line.verbose = true;
            break;
        case kComma:
            line.comma = true;
            break;
        case 'o':
            line.output = value;
            break;
        case kText:
            line.text = true;
            break;
        case kHelp:
            line.help = true;
            break;
        case kWhere:
            line.where = true;
            break;
        case kHeader:
            line.header = true;
            break;
        case kFind:
            line.find.emplace_back(value);
            break;
        case kDatabases:
            line.databases = true;
            break;
        case kAllDatabases:
            line.all_databases = true;
            break;
        case 'V':
            line.version = true;
            break;
        default:
            return false;
    }
    return true;
}

void Take(CommandLine& line, int code, char* value) {
    if (TakeOwn(line, code, value)) return;
    const OptionEntry& entry = *EntryOf(code);
    Setting setting{entry.login_key, std::nullopt, "command line", "--" + std::string(entry.name)};
    if (code == 'p') {
        setting.value = TakePassword(value);
    } else if (value) {
        setting.value = value;
    }
    LoginOptions checked;
    ApplySetting(checked, setting);
    line.login.push_back(std::move(setting));
}

}  // namespace

CommandLine ParseCommandLine(int argc, char** argv) {
    std::array<option, kOptionTable.size()> longs{};
    std::transform(kOptionTable.begin(), kOptionTable.end(), longs.begin(), [](const OptionEntry& entry) {
        return option{entry.name, entry.has_arg, nullptr, entry.val};
    });
    CommandLine line;
    opterr = 0;
    optind = 0;  // glibc starts afresh, so the parser can be run more than once
    for (int code; (code = getopt_long(argc, argv, kShortOptions, longs.data(), nullptr)) != -1;) {
        if (code == '?' && optopt == '?') {
            line.help = true;  // "-?", which getopt sees as a letter it does not know
        } else if (code == '?' || code == ':') {
            throw UsageError(Refusal(code, argv));
        } else {
            Take(line, code, optarg);
        }
    }
    for (int i = optind; i < argc; ++i) line.tables.emplace_back(argv[i]);  // after "--"
    return line;
}

void CheckCombination(const CommandLine& line) {
    const bool where = line.where || !line.find.empty();
    if (line.text && (where || line.header || line.databases || line.all_databases)) {
        throw UsageError(
            "--where, --find, --header, --databases and --all-databases have no use with --text");
    }
    if (where && line.comma) throw UsageError("--comma cannot be combined with --where or --find");
    if (line.header && !where) throw UsageError("--header needs --where or --find");
    if (line.databases && line.all_databases) {
        throw UsageError("--databases and --all-databases cannot be combined");
    }
    if (line.databases && line.tables.empty()) throw UsageError("--databases needs the names of databases");
    if (line.all_databases && !line.tables.empty()) {
        throw UsageError("--all-databases reads every database; it takes no names");
    }
}

CommandLine ParseCommandLine(const std::vector<std::string>& args) {
    std::vector<std::string> copies = args;
    copies.insert(copies.begin(), "kestrelmoor-extract");
    std::vector<char*> argv;
    for (std::string& arg : copies) argv.push_back(arg.data());
    argv.push_back(nullptr);
    return ParseCommandLine(static_cast<int>(copies.size()), argv.data());
}

}  // namespace kestrelmoor::cli
