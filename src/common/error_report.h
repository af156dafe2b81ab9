// SPDX-License-Identifier: MIT
// Where a trapped handler's error report goes. The toolkit shows it as a modal box with the caption
// "Application Error", the warning icon and a single OK button; tests record it instead.
#pragma once

#include <string>
#include <string_view>

namespace kestrelmoor {

class ErrorReport {
  public:
    virtual ~ErrorReport() = default;
    // `text` is UTF-8; returns once the user has dismissed the report.
    virtual void ShowErrorReport(const std::string& text) = 0;

    // A failure as the trap sees it: the description, the handler's location text and the line. By
    // default shows the report text built from them (BuildErrorReportText); a front end that prints
    // the parts in its own layout (the command line) overrides this.
    virtual void ReportFailure(std::string_view description, std::string_view location, int line);
};

}  // namespace kestrelmoor
