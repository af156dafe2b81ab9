#include "cli/ca_bundle.h"
#include "cli/command.h"

int main(int argc, char** argv) {
    using namespace kestrelmoor::cli;
    SkipUnusedCaBundle();
    return RunCommand(argc, argv);
}
