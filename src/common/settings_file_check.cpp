// SPDX-License-Identifier: MIT
#include "common/settings_file_check.h"
#include "common/file_descriptor.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace kestrelmoor {
namespace {

// The file's bytes, or the reason they cannot be read; nothing for a missing file.
std::string ReadAll(const std::string& path, std::string& bytes) {
    const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.valid()) return errno == ENOENT ? std::string() : std::strerror(errno);
    if (const int error = ReadToEnd(fd.get(), bytes)) return std::strerror(error);
    return {};
}

bool IsText(std::string_view bytes) {
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\n' && c != '\r') || byte == 0x7f) return false;
    }
    return true;
}

// Whether the value of a "key=value" line leaves a quote open; a backslash escapes the next character,
// as in the values the settings library writes.
bool QuoteLeftOpen(std::string_view value) {
    bool open = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] == '\\') {
            ++i;
        } else if (value[i] == '"') {
            open = !open;
        }
    }
    return open;
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    return text;
}

std::string OpenQuote(std::string_view bytes) {
    int number = 0;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view line = Trimmed(bytes.substr(0, end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++number;
        const std::size_t equals = line.find('=');
        if (line.empty() || line[0] == ';' || line[0] == '#' || line[0] == '[' || equals == line.npos)
            continue;
        if (QuoteLeftOpen(line.substr(equals + 1))) {
            return "line " + std::to_string(number) +
                   " opens a quote that is never closed, so the lines after it " +
                   "would be taken as part of " + std::string(Trimmed(line.substr(0, equals)));
        }
    }
    return {};
}

}  // namespace

std::string SettingsFileProblem(const std::string& path) {
    std::string bytes;
    if (const std::string error = ReadAll(path, bytes); !error.empty()) return "it cannot be read: " + error;
    if (!IsText(bytes)) return "it is not a settings file (it holds bytes that are not text)";
    return OpenQuote(bytes);
}

}  // namespace kestrelmoor
