// The run's result list on the command line: each new address goes to the output as soon as it is
// found, nothing is held.
#pragma once

#include <optional>
#include <string>
#include <system_error>

#include "cli/output_writer.h"
#include "core/extraction_ports.h"

namespace kestrelmoor::cli {

enum class OutputFormat {
    Lines,  // each address followed by LF
    Comma,  // each address followed by ",", then one CR LF at the end (the window's comma file)
};

class StreamSink : public ResultSink {
  public:
    // `flush_each` pushes every address out at once (for a terminal); otherwise the writer buffers.
    StreamSink(OutputWriter& out, OutputFormat format, bool flush_each)
        : out_(out), format_(format), flush_each_(flush_each) {}

    // Nothing has been written when the run empties its list at the start.
    void Clear() override {}
    void Append(std::string_view address) override;
    void CheckLast() override {}
    void ScrollToLast() override {}

    // Ends the output (the comma format's CR LF) and writes out what is buffered. After the first
    // failed write nothing more is written; false then, and Failure() says why.
    bool Finish();
    const std::optional<std::error_code>& Failure() const { return failure_; }

  private:
    template <class F>
    void Guarded(F&& write);

    OutputWriter& out_;
    OutputFormat format_;
    bool flush_each_;
    std::optional<std::error_code> failure_;
};

}  // namespace kestrelmoor::cli
