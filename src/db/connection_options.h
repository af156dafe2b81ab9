// SPDX-License-Identifier: MIT
// How connections are made beyond the login itself: what the command line can set. Each value unset
// keeps what the program does without it.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrelmoor::db {

enum class Transport { Tcp, Socket };

enum class TlsUse {
    WhenOffered,  // encrypt when the server offers TLS (without a check asked for, unverified)
    Off,          // never encrypt
};

struct ConnectionOptions {
    std::optional<std::string> socket;   // the Unix socket of the server "localhost"
    std::optional<Transport> transport;  // unset: a socket for "localhost" on port 3306, else TCP
    // The protocol's compression; unset: see CompressesProtocol.
    std::optional<bool> compress;
    std::optional<int> connect_timeout;  // seconds; overrides the caller's choice
    std::optional<int> read_timeout;     // seconds; overrides the caller's choice
    TlsUse tls = TlsUse::WhenOffered;
    std::optional<std::string> tls_ca;      // a PEM file of trusted authorities
    std::optional<std::string> tls_capath;  // a folder of them
    std::optional<std::string> tls_cert;    // the client's own certificate
    std::optional<std::string> tls_key;     // and its key
    bool verify_server_cert = false;        // also implied by an authority given

    // The server's certificate and host name are checked.
    bool Verifies() const { return verify_server_cert || tls_ca || tls_capath; }
};

// Whether a connection compresses the protocol: as `option` says when given; else only over TCP to a
// server the run judged far away, never to a loopback address (127.0.0.0/8, ::1, "localhost"), where
// compressing costs more than the bytes it saves.
bool CompressesProtocol(std::optional<bool> option, Transport transport, std::string_view host,
                        bool far_away);

}  // namespace kestrelmoor::db
