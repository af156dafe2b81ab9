// SPDX-License-Identifier: MIT
#include "common/error_trap.h"

#include <exception>
#include <string>

namespace kestrelmoor {

std::string BuildErrorReportText(std::string_view description, std::string_view location, int line) {
    std::string text;
    text.reserve(description.size() + location.size() + kSupportAddress.size() + 80);
    text.append(description);
    text.append("\r\n");
    text.append(location);
    text.append("at line ");
    text.append(std::to_string(line));
    text.append("\r\r");
    text.append("Please email screenshot of this message to ");
    text.append(kSupportAddress);
    return text;
}

void ErrorReport::ReportFailure(std::string_view description, std::string_view location, int line) {
    ShowErrorReport(BuildErrorReportText(description, location, line));
}

void Trap::Report(std::string_view description, int line) {
    report_.ReportFailure(description, location_, line);
}

std::string DescribeCurrentException() {
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (const std::string& text) {
        return text;
    } catch (const char* text) {
        return text != nullptr ? text : "";
    } catch (...) {
        return "Unknown error";
    }
}

}  // namespace kestrelmoor
