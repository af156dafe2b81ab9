#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli/ca_bundle.h"
#include "cli/database_mode.h"
#include "cli/output_writer.h"
#include "cli/text_mode.h"
#include "cli/usage.h"
#include "common/standard_streams.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    using namespace kestrelmoor::cli;
    SkipUnusedCaBundle();
    std::vector<std::string> args(argv + 1, argv + argc);
    if (!args.empty() && args.front() == "--text") {
        OutputWriter out(STDOUT_FILENO);
        return RunTextMode(std::vector<std::string>(args.begin() + 1, args.end()), out, std::cerr);
    }
    return RunDatabaseMode(args);
}
