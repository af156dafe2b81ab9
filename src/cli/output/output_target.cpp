// SPDX-License-Identifier: MIT
#include "cli/output/output_target.h"

namespace kestrelmoor::cli {

std::string WriteFailure(const std::optional<std::string>& file, const std::error_code& error) {
    return "cannot write the addresses" + (file ? " to " + *file : std::string()) + ": " + error.message();
}

bool OpenOutputFile(const std::optional<std::string>& name, Console& console,
                    std::unique_ptr<OutputFile>& file) {
    if (!name) return true;
    try {
        file = std::make_unique<OutputFile>(*name);
    } catch (const std::system_error& e) {
        console.Message(WriteFailure(name, e.code()));
        return false;
    }
    return true;
}

int FinishOutput(OutputFile* file, const std::optional<std::string>& name, bool failed, Console& console) {
    if (!file) return failed ? 1 : 0;
    if (failed) {
        console.Message("the run had failures, so " + *name + " was left as it was");
        return 1;
    }
    try {
        file->Commit();
    } catch (const std::system_error& e) {
        console.Message(WriteFailure(name, e.code()));
        return 1;
    }
    return 0;
}

}  // namespace kestrelmoor::cli
