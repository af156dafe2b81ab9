// SPDX-License-Identifier: MIT
#include "cli/ca_bundle.h"
#include "cli/command.h"
#include "common/standard_streams.h"

int main(int argc, char** argv) {
    kestrelmoor::HoldStandardStreams();  // first: nothing may be opened onto a closed 0, 1 or 2
    using namespace kestrelmoor::cli;
    SkipUnusedCaBundle();
    return RunCommand(argc, argv);
}
