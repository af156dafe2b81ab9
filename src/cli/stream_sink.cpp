#include "cli/stream_sink.h"

namespace kestrelmoor::cli {

// A failed write is kept and ends the output, rather than being thrown into the run, which would
// report it once per address still to come.
template <class F>
void StreamSink::Guarded(F&& write) {
    if (failure_) return;
    try {
        write();
    } catch (const WriteError& e) {
        failure_ = e.code();
    }
}

void StreamSink::Append(std::string_view address) {
    Guarded([&] {
        out_.Write(address);
        out_.Write(format_ == OutputFormat::Comma ? std::string_view(",") : std::string_view("\n"));
        if (flush_each_) out_.Flush();
    });
}

bool StreamSink::Finish() {
    Guarded([&] {
        if (format_ == OutputFormat::Comma) out_.Write("\r\n");
        out_.Flush();
    });
    return !failure_;
}

}  // namespace kestrelmoor::cli
