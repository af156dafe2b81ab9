// SPDX-License-Identifier: MIT
// Helpers of the tests that talk to the test server, and loopback sockets that play broken servers.
#pragma once

#include <string>

#include "support/test_server.h"

namespace kestrelmoor::test {

// A login of its own on the test server ('<name>_<pid>' at 127.0.0.1 and at localhost, with the given
// password and rights on the kestrel_% databases), dropped at the end of the test.
class TestUser {
  public:
    TestUser(AdminSession& admin, const std::string& name, const std::string& password);
    ~TestUser();
    TestUser(const TestUser&) = delete;
    TestUser& operator=(const TestUser&) = delete;

    const std::string& Name() const { return name_; }
    // A TCP profile for this user with `password` (which may differ from the real one).
    db::Login Profile(const std::string& password) const;

  private:
    AdminSession& admin_;
    std::string name_;
};

// A port on 127.0.0.1 where nothing listens (bound once by us, then closed again).
std::string ClosedLoopbackPort();

// A socket on 127.0.0.1 that listens but never accepts and never says a word: connecting succeeds at
// the TCP level and then waits for a greeting that never comes.
class SilentListener {
  public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener&) = delete;
    SilentListener& operator=(const SilentListener&) = delete;

    std::string Port() const { return std::to_string(port_); }

  private:
    int fd_ = -1;
    int port_ = 0;
};

}  // namespace kestrelmoor::test
