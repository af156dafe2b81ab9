#include "cli/options.h"

#include <array>
#include <string_view>

namespace kestrelmoor::cli {
namespace {

// An option that takes a value: "-xVALUE" / "-x VALUE" and "--name=VALUE" / "--name VALUE".
struct ValueOption {
    char short_name;
    std::string_view long_name;
    std::optional<std::string> DatabaseOptions::*target;
};

constexpr std::array<ValueOption, 5> kValueOptions = {{
    {'h', "host", &DatabaseOptions::host},
    {'u', "user", &DatabaseOptions::user},
    {'P', "port", &DatabaseOptions::port},
    {'D', "database", &DatabaseOptions::database},
    {'o', "output", &DatabaseOptions::output},
}};

const ValueOption* FindShort(char name) {
    for (const ValueOption& option : kValueOptions) {
        if (option.short_name == name) return &option;
    }
    return nullptr;
}

const ValueOption* FindLong(std::string_view name) {
    for (const ValueOption& option : kValueOptions) {
        if (option.long_name == name) return &option;
    }
    return nullptr;
}

// The password is given attached or not at all, as the mysql client reads it: a separate argument
// after "-p" is a table name, and "-p" alone asks on the terminal.
void SetPassword(DatabaseOptions& options, std::optional<std::string> value) {
    options.prompt_password = !value.has_value();
    options.password = std::move(value);
}

}  // namespace

DatabaseOptions ParseDatabaseOptions(const std::vector<std::string>& args) {
    DatabaseOptions options;
    bool options_ended = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        const auto next_value = [&](std::string_view spelled) -> std::string {
            if (i + 1 >= args.size()) throw UsageError("option '" + std::string(spelled) + "' needs a value");
            return args[++i];
        };

        if (options_ended || arg.size() < 2 || arg[0] != '-') {
            options.tables.push_back(arg);
        } else if (arg == "--") {
            options_ended = true;
        } else if (arg[1] == '-') {
            const std::string_view body = std::string_view(arg).substr(2);
            const std::size_t equals = body.find('=');
            const std::string_view name = body.substr(0, equals);
            const std::optional<std::string> attached =
                equals == std::string_view::npos ? std::nullopt
                                                 : std::optional<std::string>(body.substr(equals + 1));
            const auto no_value = [&] {
                if (attached) throw UsageError("option '--" + std::string(name) + "' takes no value");
            };
            if (name == "password") {
                SetPassword(options, attached);
            } else if (name == "comma") {
                no_value();
                options.comma = true;
            } else if (name == "help") {
                no_value();
                options.help = true;
            } else if (const ValueOption* option = FindLong(name)) {
                options.*(option->target) = attached ? *attached : next_value(arg);
            } else if (name == "text") {
                throw UsageError("'--text' must come first");
            } else {
                throw UsageError("unknown option '--" + std::string(name) + "'");
            }
        } else if (arg[1] == 'p') {
            SetPassword(options, arg.size() > 2 ? std::optional<std::string>(arg.substr(2)) : std::nullopt);
        } else if (const ValueOption* option = FindShort(arg[1])) {
            options.*(option->target) = arg.size() > 2 ? arg.substr(2) : next_value(arg);
        } else {
            throw UsageError("unknown option '" + arg.substr(0, 2) + "'");
        }
    }
    return options;
}

}  // namespace kestrelmoor::cli
