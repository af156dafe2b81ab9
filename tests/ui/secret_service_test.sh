#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The stored password and the desktop's secret service, each case on a session bus of its own: with a
# GNOME Keyring that this test unlocks, with a bus that offers no secret service, and with no bus at all.
# Runs the window's tests (secret_service_test.cpp) and kestrelmoor-extract against the test server.
#   secret_service_test.sh <ui_secret_service_tests> <kestrelmoor-extract> <source folder>
set -euo pipefail
window_tests=$1
tool=$2
facts=${KESTRELMOOR_TEST_DB_FACTS:-$3/build/test-db/facts.env}
db_prefix=kestrel_secrets
for needed in dbus-run-session gnome-keyring-daemon secret-tool; do
    command -v "$needed" >/dev/null || { echo "FAIL: $needed is missing (scripts/setup-deps installs it)"; exit 1; }
done
# shellcheck source=../cli/server_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../cli/server_session.sh"
admin "CREATE DATABASE $db; CREATE TABLE $db.t (e TEXT); INSERT INTO $db.t VALUES ('kept@example.com')"

# Everything the desktop would keep lies in the scratch folder: settings, keyrings, the runtime folder.
export XDG_CONFIG_HOME=$dir/config XDG_DATA_HOME=$dir/data XDG_RUNTIME_DIR=$dir/run
mkdir -p "$XDG_CONFIG_HOME/Veltrane" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
settings=$XDG_CONFIG_HOME/Veltrane/Veltrane.conf
stored_login() { # [password]: the window's stored login of the test user, with MyPassword when given
    printf '[Kestrelmoor]\nMyServer=127.0.0.1\nMyUser=%s\nMyDatabase=%s\nMyPort=%s\n' "$user" "$db" "$port" >"$settings"
    if [ $# -gt 0 ]; then printf 'MyPassword=%s\n' "$1" >>"$settings"; fi
}
password_line() { "$tool" --print-login | grep '^password' || true; }
export -f stored_login password_line
export tool user db port password settings

# A bus with no service to activate: the session bus's configuration without its service folders.
cat >"$dir/bare-bus.conf" <<'CONF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:tmpdir=/tmp</listen>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF

# --- an unlocked GNOME Keyring ----------------------------------------------------------------------
with_keyring() {
    echo -n "keyring password" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
    KESTRELMOOR_TEST_SECRETS=keyring "$window_tests" --gtest_brief=1 || echo "FAIL the window's tests with a keyring"

    stored_login
    echo -n "$password" | secret-tool store --label=test xdg:schema org.kestrelmoor.Login server 127.0.0.1 \
        port "$port" user "$user"
    printf '%s\n' "$(password_line)"
    "$tool" t 2>&1
    # The file's copy is the newer one, as the window would move it.
    stored_login "wrong"
    "$tool" t 2>&1 | sed 's/(using password: YES).*/(using password: YES)/'
}
export -f with_keyring
export window_tests
out=$(dbus-run-session -- bash -c with_keyring 2>&1 | grep -v 'fd limit\|^Note: Google Test filter' || true)
# KESTRELMOOR_TEST_VERBOSE=1 shows what the keyring's case printed.
if [ -n "${KESTRELMOOR_TEST_VERBOSE:-}" ]; then printf '%s\n' "$out"; fi
check "with a keyring: the window's tests pass" "[  PASSED  ] 3 tests." \
    "$(grep '^FAIL\|^\[  FAILED\|^\[  PASSED' <<<"$out" || true)"
check "with a keyring: --print-login names the secret service" \
    "password	********	(stored login, secret service)" "$(grep '^password' <<<"$out")"
check "with a keyring: the command line logs in with the keyring's password" "kept@example.com" \
    "$(grep -m1 '@' <<<"$out")"
check "with a keyring: a password left in the file is the one taken" 1 \
    "$(grep -c "Access denied for user '$user'" <<<"$out")"

# --- no secret service: none on the bus, and no bus ---------------------------------------------------
without_service() {
    KESTRELMOOR_TEST_SECRETS=none "$window_tests" --gtest_brief=1 || echo "FAIL the window's tests without a service"
    stored_login
    password_line
    stored_login "$password"
    password_line
    "$tool" t 2>&1
}
export -f without_service
out=$(dbus-run-session --config-file="$dir/bare-bus.conf" -- bash -c without_service 2>&1 |
    grep -v 'fd limit' || true)
check "no service on the bus: the window's tests pass" "[  PASSED  ] 1 test." \
    "$(grep '^FAIL\|^\[  FAILED\|^\[  PASSED' <<<"$out" || true)"
check "no service on the bus: --print-login says why there is no password, then the file's" \
    "password	(none)	(default, none in the settings file, and no secret service answered: The name org.freedesktop.secrets was not provided by any .service files)
password	********	(stored login, settings file)" "$(grep '^password' <<<"$out")"
check "no service on the bus: the command line logs in with the file's password" "kept@example.com" \
    "$(grep '@' <<<"$out")"
out=$(DBUS_SESSION_BUS_ADDRESS=unix:path=$dir/no-bus bash -c without_service 2>&1 || true)
check "no bus: the window's tests pass" "[  PASSED  ] 1 test." "$(grep '^FAIL\|^\[  FAILED\|^\[  PASSED' <<<"$out" || true)"
check "no bus: the command line logs in with the file's password" "kept@example.com" "$(grep '@' <<<"$out")"

[ "$failures" -eq 0 ]
