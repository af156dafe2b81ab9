#include "cli/output_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace kestrelmoor::cli {
namespace {

[[noreturn]] void Fail(int error, const std::string& path) {
    throw std::system_error(error, std::generic_category(), path);
}

// A symbolic link is followed, so that the file it points to is replaced and the link stays.
std::string ResolveLinks(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
    char resolved[PATH_MAX];
    return ::realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

OutputFile::OutputFile(std::string path) : path_(ResolveLinks(path)) {
    struct stat status {};
    const bool exists = ::stat(path_.c_str(), &status) == 0;
    if (exists && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) Fail(EISDIR, path_);
        fd_ = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
        if (fd_ < 0) Fail(errno, path_);
        return;
    }
    std::string pattern = FolderOf(path_) + "/." + NameOf(path_) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) Fail(errno, path_);
    temporary_ = name.data();
    if (::fchmod(fd_, exists ? (status.st_mode & 07777) : NewFileMode()) != 0) {
        const int error = errno;
        ::close(fd_);
        ::unlink(temporary_.c_str());
        Fail(error, path_);
    }
}

OutputFile::~OutputFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

void OutputFile::Commit() {
    if (temporary_.empty()) {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) Fail(errno, path_);
        return;
    }
    const int fd = fd_;
    fd_ = -1;
    const bool synced = ::fsync(fd) == 0;
    const int sync_error = errno;
    if (::close(fd) != 0) Fail(errno, path_);
    if (!synced) Fail(sync_error, path_);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno, path_);
    temporary_.clear();
}

}  // namespace kestrelmoor::cli
