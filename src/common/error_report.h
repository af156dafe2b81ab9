// Where a trapped handler's error report goes. The toolkit shows it as a modal box with the caption
// "Application Error", the warning icon and a single OK button; tests record it instead.
#pragma once

#include <string>

namespace kestrelmoor {

class ErrorReport {
  public:
    virtual ~ErrorReport() = default;
    // `text` is UTF-8; returns once the user has dismissed the report.
    virtual void ShowErrorReport(const std::string& text) = 0;
};

}  // namespace kestrelmoor
