// SPDX-License-Identifier: MIT
#include "cli/text_mode.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "cli/block_reader.h"
#include "cli/output/address_output.h"
#include "cli/output/terminal_text.h"
#include "common/file_descriptor.h"
#include "core/address_chars.h"
#include "core/address_scan.h"
#include "core/lookahead_inserter.h"
#include "export/result_formats.h"

namespace kestrelmoor::cli {
namespace {

void ScanFile(int fd, LookaheadInserter& addresses) {
    const AddressSink add = [&](std::string_view address) { addresses.Add(address); };
    // Blocks end between tokens, so each is searched on its own.
    ForEachBlock(fd, CutsBetweenTokens, [&](std::string_view lines) { ForEachValidAddress(lines, add); });
}

// Scans one named input; a file that cannot be opened or read is reported and passed over.
bool ScanInput(const std::string& name, LookaheadInserter& addresses, std::ostream& errors) {
    const bool is_stdin = name == "-";
    // Standard input is the caller's to close.
    FileDescriptor opened(is_stdin ? -1 : ::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    const int fd = is_stdin ? STDIN_FILENO : opened.get();
    if (fd < 0) {
        errors << "kestrelmoor-extract: " << ShowControls(name) << ": " << std::strerror(errno) << '\n';
        return false;
    }
    bool ok = true;
    try {
        ScanFile(fd, addresses);
    } catch (const WriteError&) {
        throw;  // the output's failure ends the whole run, not this input
    } catch (const std::system_error& e) {
        errors << "kestrelmoor-extract: " << (is_stdin ? "standard input" : ShowControls(name)) << ": "
               << e.code().message() << '\n';
        ok = false;
    }
    return ok;
}

}  // namespace

int RunTextMode(const std::vector<std::string>& files, OutputWriter& out, bool comma, std::ostream& errors) {
    const OutputFormat format = comma ? OutputFormat::Comma : OutputFormat::Lines;
    SeenAddresses seen;
    std::string item;
    LookaheadInserter addresses(seen, [&](std::string_view address, const LookaheadInserter::Origin&) {
        item.clear();
        AppendAddress(item, address, format);
        out.Write(item);
    });
    bool all_read = true;
    const std::vector<std::string> inputs = files.empty() ? std::vector<std::string>{"-"} : files;
    try {
        for (const std::string& name : inputs) all_read = ScanInput(name, addresses, errors) && all_read;
        addresses.Flush();
        out.Write(OutputEnd(format));
        out.Flush();
    } catch (const WriteError& e) {
        errors << "kestrelmoor-extract: cannot write the addresses: " << e.code().message() << '\n';
        return 1;
    }
    return all_read ? 0 : 1;
}

}  // namespace kestrelmoor::cli
