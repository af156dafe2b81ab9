// SPDX-License-Identifier: MIT
#include "cli/command.h"

#include <unistd.h>

#include <cstring>
#include <iostream>
#include <memory>

#include "cli/database_mode.h"
#include "cli/login/login.h"
#include "cli/login/options.h"
#include "cli/login/print_login.h"
#include "cli/output/console.h"
#include "cli/output/output_target.h"
#include "cli/output/output_writer.h"
#include "cli/text_mode.h"
#include "cli/usage.h"
#include "common/file_descriptor.h"

namespace kestrelmoor::cli {
namespace {

int UsageFailure(Console& console, const std::string& why) {
    console.Message(why + "\nTry 'kestrelmoor-extract --help' for more information.");
    return 2;
}

// The text mode, written to standard output or, through a temporary file, to the --output file.
int RunText(const CommandLine& line, Console& console) {
    std::unique_ptr<OutputFile> file;
    if (!OpenOutputFile(line.output, console, file)) return 1;
    OutputWriter out(file ? file->fd() : STDOUT_FILENO);
    const int status = RunTextMode(line.tables, out, line.comma, std::cerr);
    return FinishOutput(file.get(), line.output, status != 0, console);
}

}  // namespace

int RunCommand(int argc, char** argv, const DatabaseMaker& make_database) {
    Console console(STDERR_FILENO, DrawsStatusLine(STDERR_FILENO));
    CommandLine line;
    try {
        line = ParseCommandLine(argc, argv);
    } catch (const UsageError& e) {
        return UsageFailure(console, e.what());
    }
    if (line.help || line.version) {
        // As GNU programs do: text that could not be written (a full disk, a closed pipe) is an error.
        const std::string text =
            line.help ? std::string(kUsage)
                      : std::string("kestrelmoor-extract (Kestrelmoor) ") + KESTRELMOOR_VERSION + "\n";
        if (const int error = WriteAll(STDOUT_FILENO, text); error != 0) {
            console.Message(std::string("write error: ") + std::strerror(error));
            return 1;
        }
        return 0;
    }
    try {
        CheckCombination(line);
    } catch (const UsageError& e) {
        return UsageFailure(console, e.what());
    }
    if (line.text) {
        if (line.print_login) return UsageFailure(console, "--print-login has no use with --text");
        return RunText(line, console);
    }

    ResolvedLogin login;
    try {
        login = ResolveLogin(
            line, RealLoginSources(line, [&console](const std::string& m) { console.Message(m); }));
    } catch (const UsageError& e) {
        return UsageFailure(console, e.what());
    } catch (const std::exception& e) {
        console.Message(e.what());
        return 1;
    }
    if (line.print_login) {
        PrintLogin(login, std::cout);
        std::cout << std::flush;
        return std::cout ? 0 : 1;
    }
    bool found = false;
    const std::unique_ptr<db::Database> database = make_database(login.connection);
    const int status = RunDatabaseMode(line, std::move(login), *database, found);
    if (line.find.empty()) return status;
    // As grep answers: 0 found, 1 not found, 2 trouble; a run with a failure cannot tell that an
    // address is absent, nor that it has shown every place of one it found.
    return status != 0 ? 2 : (found ? 0 : 1);
}

}  // namespace kestrelmoor::cli
