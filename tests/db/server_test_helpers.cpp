// SPDX-License-Identifier: MIT
#include "server_test_helpers.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace kestrelmoor::test {
namespace {

std::string SqlText(const std::string& value) {
    std::string quoted = "'";
    for (const char c : value) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

// A TCP socket bound to 127.0.0.1 at a port the kernel picks; returns the socket and its port.
int BindLoopback(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const std::string reason = std::strerror(errno);
        close(fd);
        throw std::runtime_error("bind to 127.0.0.1: " + reason);
    }
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

TestUser::TestUser(AdminSession& admin, const std::string& name, const std::string& password)
    : admin_(admin), name_(name + "_" + std::to_string(getpid())) {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        const std::string account = SqlText(name_) + "@" + SqlText(host);
        admin_.Run("DROP USER IF EXISTS " + account);
        admin_.Run("CREATE USER " + account + " IDENTIFIED BY " + SqlText(password));
        admin_.Run("GRANT ALL ON `kestrel\\_%`.* TO " + account);
    }
}

TestUser::~TestUser() {
    for (const char* host : {"127.0.0.1", "localhost"}) {
        try {
            admin_.Run("DROP USER IF EXISTS " + SqlText(name_) + "@" + SqlText(host));
        } catch (const std::exception& e) {
            ADD_FAILURE() << "Could not drop the test user " << name_ << ": " << e.what();
        }
    }
}

db::Login TestUser::Profile(const std::string& password) const {
    const TestServer& server = TestServer::Get();
    return {server.host, name_, password, "", db::Port::FromText(server.port)};
}

std::string ClosedLoopbackPort() {
    int port = 0;
    close(BindLoopback(port));
    return std::to_string(port);
}

SilentListener::SilentListener() {
    fd_ = BindLoopback(port_);
    if (listen(fd_, 16) != 0) {
        close(fd_);
        throw std::runtime_error(std::string("listen: ") + std::strerror(errno));
    }
}

SilentListener::~SilentListener() {
    close(fd_);
}

}  // namespace kestrelmoor::test
