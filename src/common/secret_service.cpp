// SPDX-License-Identifier: MIT
#include "common/secret_service.h"

#include <libsecret/secret.h>

#include <memory>

namespace kestrelmoor {
namespace {

// Items are found by these attributes; the schema's name is stored with them, so that other programs'
// items with the same attribute names never match.
const SecretSchema kLoginSchema = {"org.kestrelmoor.Login",
                                   SECRET_SCHEMA_NONE,
                                   {
                                       {"server", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"port", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {"user", SECRET_SCHEMA_ATTRIBUTE_STRING},
                                       {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
                                   },
                                   0,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr,
                                   nullptr};

struct ErrorFree {
    void operator()(GError* error) const { g_error_free(error); }
};
using ErrorHandle = std::unique_ptr<GError, ErrorFree>;

[[noreturn]] void ThrowMissing(GError* raw) {
    const ErrorHandle error(raw);
    throw SecretServiceMissing(error && error->message ? error->message
                                                       : "the secret service did not answer");
}

}  // namespace

std::string SecretLabel(const SecretKey& key) {
    return "Kestrelmoor: MySQL password of " + key.user + " on " + key.server + " port " + key.port;
}

std::optional<std::string> SecretService::Lookup(const SecretKey& key) const {
    GError* error = nullptr;
    gchar* password =
        secret_password_lookup_sync(&kLoginSchema, nullptr, &error, "server", key.server.c_str(), "port",
                                    key.port.c_str(), "user", key.user.c_str(), nullptr);
    if (error) ThrowMissing(error);
    if (!password) return std::nullopt;
    std::string found(password);
    secret_password_free(password);  // wipes the copy the library made
    return found;
}

void SecretService::Store(const SecretKey& key, const std::string& password) const {
    GError* error = nullptr;
    const gboolean stored = secret_password_store_sync(
        &kLoginSchema, SECRET_COLLECTION_DEFAULT, SecretLabel(key).c_str(), password.c_str(), nullptr, &error,
        "server", key.server.c_str(), "port", key.port.c_str(), "user", key.user.c_str(), nullptr);
    // A prompt to open the keyring that the user dismissed stores nothing and may say nothing.
    if (error || !stored) ThrowMissing(error);
}

void SecretService::Clear(const SecretKey& key) const {
    GError* error = nullptr;
    secret_password_clear_sync(&kLoginSchema, nullptr, &error, "server", key.server.c_str(), "port",
                               key.port.c_str(), "user", key.user.c_str(), nullptr);
    if (error) ThrowMissing(error);
}

}  // namespace kestrelmoor
