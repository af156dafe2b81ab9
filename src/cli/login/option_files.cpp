// SPDX-License-Identifier: MIT
#include "cli/login/option_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sstream>
#include <stdexcept>

#include "common/ascii.h"
#include "common/file_descriptor.h"

namespace kestrelmoor::cli {
namespace {

constexpr std::string_view kOwnGroup = "kestrelmoor-extract";
constexpr int kMostNested = 10;  // as the client: an include loop ends instead of running for ever

constexpr std::string_view kSpace = " \t\r\n";

// Far above any real option file (Debian's own are a few kB), and a bound on what a file named by
// mistake (/dev/zero, a log) can take: the client reads line by line into a buffer of 4 kB.
constexpr std::size_t kLargestFile = 1024 * 1024;
constexpr std::size_t kLongestLine = 64 * 1024;

std::string_view Trim(std::string_view text) {
    const std::size_t first = text.find_first_not_of(kSpace);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kSpace) - first + 1);
}

bool IsReadGroup(const std::string& group) {
    return group == "client" || group == "client-server" || group == "client-mariadb" || group == kOwnGroup;
}

// A "#" outside quotes starts a comment, also after a value.
std::string_view WithoutComment(std::string_view value) {
    char quote = 0;
    bool escaped = false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        if ((c == '\'' || c == '"') && !escaped) {
            quote = quote == 0 ? c : (quote == c ? 0 : quote);
        } else if (c == '#' && quote == 0) {
            return value.substr(0, i);
        }
        escaped = quote != 0 && c == '\\' && !escaped;
    }
    return value;
}

// Quotes around the whole value go; \n \t \r \b \s \\ \" \' stand for their characters.
std::string Unquote(std::string_view value) {
    value = Trim(WithoutComment(value));
    if (value.size() >= 2 && (value.front() == '\'' || value.front() == '"') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char c = value[++i];
        const std::size_t known = std::string_view("ntrbs\\\"'").find(c);
        if (known == std::string_view::npos) out += '\\';
        out += known == std::string_view::npos ? c : "\n\t\r\b \\\"'"[known];
    }
    return out;
}

class Reader {
  public:
    Reader(std::vector<Setting>& out, const OptionFileNote& note) : out_(out), note_(note) {}

    void File(const std::string& path, bool required, int depth) {
        if (depth > kMostNested)
            throw std::runtime_error(path + ": option files include each other too deeply");
        const std::optional<std::string> contents = Contents(path, required);
        if (!contents) return;
        std::istringstream in(*contents);
        std::string group;
        std::string line;
        bool in_group = false;
        for (int number = 1; std::getline(in, line); ++number) {
            const std::string_view text = Trim(line);
            const std::string where = path + ":" + std::to_string(number);
            if (text.empty() || text.front() == '#' || text.front() == ';') continue;
            if (text.front() == '!') {
                Directive(text, where, depth);
            } else if (text.front() == '[') {
                group = AsciiLowered(Trim(text.substr(1, text.find(']') - 1)));
                in_group = true;
            } else if (!in_group) {
                // The client stops here too: such a line belongs to no program.
                throw UsageError(where + ": an option before any [group]");
            } else if (IsReadGroup(group)) {
                Option(text, group, where);
            }
        }
    }

  private:
    // The file's text, or nullopt for a file passed over. One named on the command line that cannot be
    // read fails the run; one read by default that exists but cannot be used is named in a note, so
    // that another login is never used without a word. A FIFO or device read by default is never
    // opened for reading: opening a FIFO waits for a writer, for ever. A named one is read, as the
    // client reads it: a pipe from the shell, /dev/null.
    std::optional<std::string> Contents(const std::string& path, bool required) {
        struct stat info {};
        if (::stat(path.c_str(), &info) != 0) {
            if ((errno == ENOENT || errno == ENOTDIR) && !required) return std::nullopt;
            return Unusable(path, required, std::strerror(errno));
        }
        if (S_ISDIR(info.st_mode)) return Unusable(path, required, std::strerror(EISDIR));
        const bool regular = S_ISREG(info.st_mode);
        if (!regular && !required) return Unusable(path, required, "not a regular file");
        // Opening never waits, in case the file became a FIFO since. A named pipe is then read as it
        // comes: up to its writer's end, or as empty when nothing has it open for writing.
        const FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (!fd.valid()) return Unusable(path, required, std::strerror(errno));
        const bool still_regular = ::fstat(fd.get(), &info) == 0 && S_ISREG(info.st_mode);
        if (regular && !still_regular) return Unusable(path, required, "not a regular file");
        if (!regular) ::fcntl(fd.get(), F_SETFL, O_RDONLY);
        // As the client: a file that anyone may write could point the login at anyone's server.
        if (still_regular && (info.st_mode & S_IWOTH) != 0) {
            if (note_) note_("Warning: World-writable config file '" + path + "' is ignored");
            return std::nullopt;
        }
        std::string text;
        const int error = ReadToEnd(fd.get(), text, kLargestFile);
        if (error != 0) return Unusable(path, required, std::strerror(error));
        if (text.size() > kLargestFile)
            return Unusable(path, required, "larger than 1 MiB, the most an option file may hold");
        for (std::size_t start = 0, number = 1; start < text.size(); ++number) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            if (end - start > kLongestLine) {
                return Unusable(
                    path, required,
                    "line " + std::to_string(number) + " is longer than 64 KiB, the most a line may hold");
            }
            start = end + 1;
        }
        return text;
    }

    std::optional<std::string> Unusable(const std::string& path, bool required, const std::string& why) {
        if (required) throw std::runtime_error("cannot read the option file " + path + ": " + why);
        if (note_) note_("passing over the option file " + path + ": " + why);
        return std::nullopt;
    }

    void Directive(std::string_view text, const std::string& where, int depth) {
        const std::size_t space = text.find_first_of(kSpace);
        const std::string_view name = text.substr(0, space);
        const std::string target(Trim(text.substr(std::min(space, text.size()))));
        if (name == "!include") {
            File(target, false, depth + 1);
        } else if (name == "!includedir") {
            std::error_code error;
            std::vector<std::string> files;
            for (const auto& entry : std::filesystem::directory_iterator(target, error)) {
                if (entry.path().extension() == ".cnf") files.push_back(entry.path().string());
            }
            // A missing !include file is passed over, as the client does, but not a missing folder.
            if (error)
                throw UsageError(where + ": !includedir: cannot read the folder " + target + ": " +
                                 error.message());
            std::sort(files.begin(), files.end());
            for (const std::string& file : files) File(file, false, depth + 1);
        }
    }

    void Option(std::string_view text, const std::string& group, const std::string& where) {
        const std::size_t equals = text.find('=');
        const std::string key(Trim(text.substr(0, equals)));
        Setting setting{key, std::nullopt, where.substr(0, where.rfind(':')), where + ": " + key};
        if (equals != std::string_view::npos) setting.value = Unquote(text.substr(equals + 1));
        if (const std::optional<FullKey> full = FullLoginKey(setting)) {
            // The client's groups are shared with the client, which knows no such option.
            if (full->key == "jobs" && group != kOwnGroup) return;
            if (full->abbreviated && note_) {
                note_(where + ": using the unique option prefix '" + key +
                      "' is error-prone and can break in the future; use the full name '" + full->key +
                      "' instead");
            }
            setting.key = full->key;
            out_.push_back(std::move(setting));
        } else if (group == kOwnGroup && !key.starts_with("loose")) {
            throw UsageError(setting.spelled + ": unknown option in [" + std::string(kOwnGroup) + "]");
        }
    }

    std::vector<Setting>& out_;
    const OptionFileNote& note_;
};

}  // namespace

std::vector<OptionFile> OptionFilesFor(const OptionFileChoice& choice,
                                       const std::optional<std::string>& home) {
    if (choice.none) return {};
    if (choice.only) return {{*choice.only, true}};
    std::vector<OptionFile> files = {{"/etc/my.cnf"}, {"/etc/mysql/my.cnf"}};
    if (choice.extra) files.push_back({*choice.extra, true});
    if (home && !home->empty()) files.push_back({*home + "/.my.cnf"});
    return files;
}

std::vector<Setting> ReadOptionFiles(const std::vector<OptionFile>& files, const OptionFileNote& note) {
    std::vector<Setting> settings;
    Reader reader(settings, note);
    for (const OptionFile& file : files) reader.File(file.path, file.required, 0);
    return settings;
}

}  // namespace kestrelmoor::cli
