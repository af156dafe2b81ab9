// SPDX-License-Identifier: MIT
#include "db/connection_options.h"

#include <arpa/inet.h>

namespace kestrelmoor::db {
namespace {

bool IsLoopback(std::string_view host) {
    const std::string name(host);
    if (name.empty() || name == "localhost") return true;
    in_addr v4{};
    if (inet_pton(AF_INET, name.c_str(), &v4) == 1) return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    return inet_pton(AF_INET6, name.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

}  // namespace

bool CompressesProtocol(std::optional<bool> option, Transport transport, std::string_view host,
                        bool far_away) {
    if (option) return *option;
    return far_away && transport == Transport::Tcp && !IsLoopback(host);
}

}  // namespace kestrelmoor::db
