// SPDX-License-Identifier: MIT
#pragma once

namespace kestrelmoor::cli {

// A login that does not verify the server's certificate still has the client library make OpenSSL read
// the system's whole CA bundle: about 50 ms of the 75 ms a login takes here. This points OpenSSL's
// default CA file at an empty one, a file the user chose too. Call only when no connection of this
// process verifies a certificate, before the first connection and before any thread exists (it sets an
// environment variable); only in this program, which starts no other program that could inherit it.
void SkipUnusedCaBundle();

}  // namespace kestrelmoor::cli
