#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program's accessibility tree over the desktop's accessibility bus (AT-SPI), as a screen reader
# reads it: on a virtual display with a session bus of its own, against the private test server
# (scripts/test-db). Usage: accessibility_tree_test.sh PROGRAM SOURCE_DIR
set -u
program=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_atspi
cleanup_more() { [ -n "${display_pid:-}" ] && kill "$display_pid" 2>/dev/null; }
# shellcheck source=../cli/server_session.sh
source "$2/tests/cli/server_session.sh"
for tool in Xvfb dbus-run-session; do
    command -v "$tool" >/dev/null || { echo "FAIL: $tool is missing (scripts/setup-deps installs it)"; exit 1; }
done
/usr/bin/python3 -c "import pyatspi" || { echo "FAIL: python3-pyatspi is missing (scripts/setup-deps)"; exit 1; }

admin "CREATE DATABASE $db; USE $db;
       CREATE TABLE people (email TEXT); INSERT INTO people VALUES ('ann@example.com'), ('bob@example.net');
       CREATE TABLE orders (note TEXT); INSERT INTO orders VALUES ('to cy@example.org');
       GRANT ALL ON $db.* TO '$user'@'127.0.0.1';"
export XDG_CONFIG_HOME=$dir/config HOME=$dir XDG_RUNTIME_DIR=$dir
install -d -m 700 "$XDG_CONFIG_HOME/Veltrane"
# The password stays in the file: a keyring on this bus would ask on the virtual display to be made.
printf '[Kestrelmoor]\nMyServer=127.0.0.1\nMyUser=%s\nMyPassword=%s\nMyDatabase=%s\nMyPort=%s\nPasswordKeptIn=file\n' \
    "$user" "$password" "$db" "$port" >"$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"

# A display of its own: Xvfb writes the number it took once it is ready.
exec 3< <(Xvfb -displayfd 1 -screen 0 1280x800x24 -nolisten tcp 2>/dev/null & echo "pid $!")
read -r _ display_pid <&3
read -r display <&3
[ -n "$display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=:$display QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# The program's own leaks are the window tests' business; here it is ended by a signal.
export ASAN_OPTIONS=detect_leaks=0
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/accessibility_tree.py" "$program" 2>"$dir/stderr" || {
    grep -v "^dbus-daemon\|fd limit\|SpiRegistry\|XDG_RUNTIME" "$dir/stderr" | tail -20
    exit 1
}
