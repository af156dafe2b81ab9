// SPDX-License-Identifier: MIT
// The run's addresses on the command line: each goes to the output as soon as it is found, nothing is
// held. A write that fails ends the output and stops the run at that address.
#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "cli/output/console.h"
#include "cli/output/output_writer.h"
#include "core/run_observer.h"
#include "export/result_formats.h"

namespace kestrelmoor::cli {

class AddressOutput : public RunObserver {
  public:
    // `flush_each` pushes every address out at once (for a terminal); otherwise the writer buffers.
    // `shared_status`: the console whose status line is on the output's terminal, erased before each
    // address so that the address starts a line of its own.
    AddressOutput(OutputWriter& out, OutputFormat format, bool flush_each, Console* shared_status = nullptr)
        : out_(out), format_(format), flush_each_(flush_each), shared_status_(shared_status) {}

    // Stop once a write has failed.
    RunControl AddressFound(std::string_view address, const Place& place) override;

    // Ends the output (the comma format's line end) and writes out what is buffered. After the first
    // failed write nothing more is written; false then, and Failure() says why.
    bool Finish();
    const std::optional<std::error_code>& Failure() const { return failure_; }

  private:
    template <class F>
    void Guarded(F&& write);

    OutputWriter& out_;
    OutputFormat format_;
    bool flush_each_;
    Console* shared_status_;
    std::string item_;
    std::optional<std::error_code> failure_;
};

}  // namespace kestrelmoor::cli
