// SPDX-License-Identifier: MIT
// The desktop's secret service (GNOME Keyring, KDE Wallet and others that offer the freedesktop Secret
// Service API on the session bus), through libsecret: the stored login's password, one item per server,
// port and user, which the window keeps and the command line reads. No graphical library is needed.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace kestrelmoor {

// Which login an item belongs to: the settings file's server, port and user as stored (as typed into
// the window's boxes), so that the window and the command line find the same item.
struct SecretKey {
    std::string server;
    std::string port;
    std::string user;
    friend bool operator==(const SecretKey&, const SecretKey&) = default;
};

// No secret service could be asked: no session bus, no service on it, or a locked keyring that was not
// opened. what() says why in the library's words.
class SecretServiceMissing : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// What a keyring manager (Seahorse, KWalletManager) shows as the item's name.
std::string SecretLabel(const SecretKey& key);

class SecretService {
  public:
    // The item's password, or nothing when there is no item. Each call waits for the service, which
    // may first ask the user to open a locked keyring. All three throw SecretServiceMissing.
    std::optional<std::string> Lookup(const SecretKey& key) const;
    // Creates or replaces the item, in the default keyring.
    void Store(const SecretKey& key, const std::string& password) const;
    // Removes the item; none is no failure.
    void Clear(const SecretKey& key) const;
};

}  // namespace kestrelmoor
