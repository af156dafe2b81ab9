// SPDX-License-Identifier: MIT
#pragma once

namespace kestrelmoor::cli {

// The login encrypts whenever the server offers TLS but never verifies the server's certificate, yet
// the client library has OpenSSL read the system's whole CA bundle for every login: about 50 ms of
// the 75 ms a login takes here. This points OpenSSL's default CA file at an empty one, a file the user
// chose too: nothing in this program verifies a certificate. Call first thing in main, before any thread
// exists, as it sets an environment variable; only in this program, which starts no other program that
// could inherit it.
void SkipUnusedCaBundle();

}  // namespace kestrelmoor::cli
