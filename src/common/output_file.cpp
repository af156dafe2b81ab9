// SPDX-License-Identifier: MIT
#include "common/output_file.h"

#include <fcntl.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <vector>

namespace kestrelmoor {
namespace {

// As many links in a row as the system itself follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;

[[noreturn]] void Fail(int error, const std::string& path) {
    throw std::system_error(error, std::generic_category(), path);
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

std::string ReadLink(const std::string& path) {
    std::vector<char> target(256);
    while (true) {
        const ssize_t size = ::readlink(path.c_str(), target.data(), target.size());
        if (size < 0) Fail(errno, path);
        if (static_cast<std::size_t>(size) < target.size()) return std::string(target.data(), size);
        target.resize(target.size() * 2);
    }
}

// The file that writing `path` would write, one link at a time: a relative link is relative to its
// own folder, and a dangling link ends at the file it would create.
std::string FollowLinks(std::string path) {
    for (int links = 0;; ++links) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return path;
        if (links == kMaxLinks) Fail(ELOOP, path);
        const std::string target = ReadLink(path);
        const std::string folder = FolderOf(path);
        path = target.front() == '/' ? target : (folder == "/" ? "" : folder) + "/" + target;
    }
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A name for the temporary file beside the target, e.g. ".addresses.txt.k3Xa9Q".
std::string TemporaryName(const std::string& path) {
    static constexpr char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char random[6] = {};
    if (::getrandom(random, sizeof random, 0) != sizeof random) Fail(errno, path);
    std::string name = FolderOf(path) + "/." + NameOf(path) + ".";
    for (const unsigned char byte : random) name += kChars[byte % (sizeof kChars - 1)];
    return name;
}

void UnlinkTemporary(void* name) {
    ::unlink(static_cast<const char*>(name));
}

std::string ProcPath(int fd) {
    return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace

OutputFile::OutputFile(std::string path, PipeReader pipe_reader, bool allow_unnamed)
    : path_(FollowLinks(std::move(path))) {
    struct stat status {};
    const bool exists = ::stat(path_.c_str(), &status) == 0;
    if (exists && S_ISDIR(status.st_mode)) Fail(EISDIR, path_);
    if (exists && !S_ISREG(status.st_mode)) {
        OpenInPlace(pipe_reader);
        return;
    }
    if (exists && ::access(path_.c_str(), W_OK) != 0) Fail(errno, path_);
    try {
        if (!allow_unnamed || !OpenUnnamed()) OpenNamed();
        if (::fchmod(fd_.get(), exists ? (status.st_mode & 07777) : NewFileMode()) != 0) Fail(errno, path_);
    } catch (const std::system_error&) {
        Discard();
        throw;
    }
}

void OutputFile::OpenInPlace(PipeReader pipe_reader) {
    // Without a reader a pipe refuses a non-blocking open (ENXIO) instead of waiting; the writes block.
    const int waiting = pipe_reader == PipeReader::kWait ? 0 : O_NONBLOCK;
    fd_ = FileDescriptor(::open(path_.c_str(), O_WRONLY | O_CLOEXEC | waiting));
    if (!fd_.valid()) Fail(errno, path_);
    if (waiting && ::fcntl(fd_.get(), F_SETFL, ::fcntl(fd_.get(), F_GETFL) & ~O_NONBLOCK) != 0)
        Fail(errno, path_);
}

// A file without a name in the target's folder, given one at the commit through its /proc entry;
// false where the file system, the kernel or a missing /proc do not allow that.
bool OutputFile::OpenUnnamed() {
    fd_ = FileDescriptor(::open(FolderOf(path_).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
    if (!fd_.valid()) return false;
    if (::access(ProcPath(fd_.get()).c_str(), F_OK) != 0) {
        fd_.Close();
        return false;
    }
    unnamed_ = true;
    return true;
}

void OutputFile::OpenNamed() {
    std::string pattern = FolderOf(path_) + "/." + NameOf(path_) + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const EndingSignalsHeld held;
    fd_ = FileDescriptor(::mkostemp(name.data(), O_CLOEXEC));
    if (!fd_.valid()) Fail(errno, path_);
    NameTemporary(name.data());
}

void OutputFile::NameTemporary(const std::string& name) {
    undo_.reset();
    temporary_ = name;
    undo_ = std::make_unique<SignalUndo>(UnlinkTemporary, temporary_.data());
}

void OutputFile::Discard() {
    fd_.Close();
    unnamed_ = false;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    undo_.reset();
    temporary_.clear();
}

OutputFile::~OutputFile() {
    Discard();
}

void OutputFile::LinkUnnamed() {
    // Under a fresh name beside the target: a link cannot replace an existing file, the rename can.
    for (int attempt = 0;; ++attempt) {
        const std::string name = TemporaryName(path_);
        const EndingSignalsHeld held;
        if (::linkat(AT_FDCWD, ProcPath(fd_.get()).c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            NameTemporary(name);
            return;
        }
        if (errno != EEXIST || attempt == 100) Fail(errno, path_);
    }
}

void OutputFile::Commit() {
    if (!fd_.valid()) Fail(EBADF, path_);  // given up meanwhile
    if (temporary_.empty() && !unnamed_) {
        if (const int error = fd_.Close()) Fail(error, path_);
        return;
    }
    if (::fsync(fd_.get()) != 0) Fail(errno, path_);
    if (unnamed_) LinkUnnamed();
    if (const int error = fd_.Close()) Fail(error, path_);
    if (::rename(temporary_.c_str(), path_.c_str()) != 0) Fail(errno, path_);
    undo_.reset();
    temporary_.clear();
}

}  // namespace kestrelmoor
