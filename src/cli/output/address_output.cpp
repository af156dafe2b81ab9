// SPDX-License-Identifier: MIT
#include "cli/output/address_output.h"

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

RunControl AddressOutput::AddressFound(std::string_view address, const Place& /*place*/) {
    Guarded([&] {
        if (shared_status_) shared_status_->ClearStatus();
        item_.clear();
        AppendAddress(item_, address, format_);
        out_.Write(item_);
        if (flush_each_) out_.Flush();
    });
    return failure_ ? RunControl::Stop : RunControl::Continue;
}

bool AddressOutput::Finish() {
    Guarded([&] {
        out_.Write(OutputEnd(format_));
        out_.Flush();
    });
    return !failure_;
}

}  // namespace kestrelmoor::cli
