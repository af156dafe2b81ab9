// SPDX-License-Identifier: MIT
#include "cli/address_output.h"

#include "export/result_formats.h"

namespace kestrelmoor::cli {

// A failed write is kept and ends the output, rather than being thrown into the run, which would
// report it once per address still to come.
template <class F>
void AddressOutput::Guarded(F&& write) {
    if (failure_) return;
    try {
        write();
    } catch (const WriteError& e) {
        failure_ = e.code();
    }
}

void AddressOutput::AddressFound(std::string_view address, const Place& /*place*/) {
    Guarded([&] {
        item_.clear();
        if (format_ == OutputFormat::Comma) {
            AppendCommaItem(item_, address);
        } else {
            item_ += address;
            item_ += '\n';
        }
        out_.Write(item_);
        if (flush_each_) out_.Flush();
    });
}

bool AddressOutput::Finish() {
    Guarded([&] {
        if (format_ == OutputFormat::Comma) out_.Write(kLineEnd);
        out_.Flush();
    });
    return !failure_;
}

}  // namespace kestrelmoor::cli
