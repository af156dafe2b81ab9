// SPDX-License-Identifier: MIT
#include "cli/login/ca_bundle.h"

#include <cstdlib>

namespace kestrelmoor::cli {

void SkipUnusedCaBundle() {
    // OpenSSL reads SSL_CERT_FILE when it loads its default verify paths, and finds no certificate in
    // an empty file. The certificate folder is only looked into while verifying, so it costs nothing.
    ::setenv("SSL_CERT_FILE", "/dev/null", /*overwrite=*/1);
}

}  // namespace kestrelmoor::cli
