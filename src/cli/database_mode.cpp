// SPDX-License-Identifier: MIT
#include "cli/database_mode.h"

#include <unistd.h>

#include <exception>
#include <iostream>
#include <memory>
#include <optional>
#include <system_error>

#include "cli/login/ca_bundle.h"
#include "cli/login/login.h"
#include "cli/login/options.h"
#include "cli/login/password_prompt.h"
#include "cli/login/settings_reader.h"
#include "cli/output/address_output.h"
#include "cli/output/console.h"
#include "cli/output/output_target.h"
#include "cli/output/output_writer.h"
#include "cli/output/place_output.h"
#include "cli/output/progress_line.h"
#include "cli/run_tables.h"
#include "common/standard_streams.h"
#include "core/extraction_run.h"

namespace kestrelmoor::cli {
namespace {

// The output first: a file that cannot be written is known before anything is asked or read.
bool OpenOutput(const CommandLine& options, Console& console, std::unique_ptr<OutputFile>& file) {
    if (!OpenOutputFile(options.output, console, file)) return false;

    // Standard output closed by the caller (">&-") holds a placeholder that cannot be written.
    if (!file && !OpenForWriting(STDOUT_FILENO)) {
        console.Message(WriteFailure(std::nullopt, std::make_error_code(std::errc::bad_file_descriptor)));
        return false;
    }
    return true;
}

}  // namespace

int RunDatabaseMode(const CommandLine& options, ResolvedLogin login, db::Database& database, bool& found) {
    // Addresses on the terminal of the progress line: each erases the line first, so that it starts a
    // line of its own; the comma format's addresses share one line, which the progress would overwrite.
    const bool where = options.where || !options.find.empty();
    const bool same_terminal = !options.output && SameTerminal(STDOUT_FILENO, STDERR_FILENO);
    Console console(STDERR_FILENO,
                    DrawsStatusLine(STDERR_FILENO) && !(same_terminal && options.comma && !where));
    std::unique_ptr<OutputFile> file;
    if (!OpenOutput(options, console, file)) return 1;

    try {
        if (login.ask_password) {
            // -p, or "password" without a value in an option file.
            const auto origin = login.origins.find(std::string_view("password"));
            const std::string asked_by = origin == login.origins.end() || origin->second == "command line"
                                             ? "-p"
                                             : "\"password\" without a value in " + origin->second;
            const std::optional<std::string> typed = PromptPassword("/dev/tty", asked_by);
            if (!typed)
                console.Message("no password given (end of input at the prompt): logging in without one");
            login.password = typed.value_or("");
        }
    } catch (const std::exception& e) {
        console.Message(e.what());
        return 1;
    }

    // Every table of several databases is named with its database; the login's own is not used.
    db::Login connection_login = login;
    if (options.databases || options.all_databases) connection_login.database.clear();
    if (!login.connection.Verifies()) SkipUnusedCaBundle();
    TableNames tables;
    int failures = 0;
    try {
        failures = ListRunTables(options, database, connection_login, tables, console);
    } catch (const std::exception& e) {
        console.Message(e.what());
        return 1;
    }

    const int out_fd = file ? file->fd() : STDOUT_FILENO;
    OutputWriter writer(out_fd);
    AddressOutput output(writer, options.comma ? OutputFormat::Comma : OutputFormat::Lines,
                         !file && ::isatty(STDOUT_FILENO) == 1, same_terminal ? &console : nullptr);
    PlaceOutput places(writer, options.header, options.find);
    ProgressLine progress(console);
    ConsoleReport report(console, options.verbose);
    RunObservers observers{where ? static_cast<RunObserver*>(&places) : &output, &progress, &report};

    ExtractionRun run(database, report);
    run.SetConnections(login.jobs.value_or(ExtractionRun::kDefaultConnections));
    run.Start(connection_login, tables, observers);

    if (!(where ? places.Finish() : output.Finish())) {
        console.Message(WriteFailure(options.output, *(where ? places.Failure() : output.Failure())));
        return 1;
    }
    found = places.Found();
    failures += report.Failures();
    return FinishOutput(file.get(), options.output, failures != 0, console);
}

}  // namespace kestrelmoor::cli
