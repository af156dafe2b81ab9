# SPDX-License-Identifier: MIT
# Sourced by the shell tests that run kestrelmoor-extract against the private test server
# (scripts/test-db). Before sourcing, set `facts` (the server's facts file) and `db_prefix`; defines
# fact, port, user, password, db (a fresh name), dir (a scratch folder), admin (SQL as the
# administrator), check (compare and count failures), login and run (the tool with the test login).
# The EXIT trap drops the database and the folder after calling `cleanup_more`, when defined.
fact() { sed -n "s/^$1=//p" "$facts" | head -n 1; }
if [ ! -f "$facts" ]; then
    echo "FAIL: no test server facts at $facts; start one with scripts/test-db start"
    exit 1
fi
port=$(fact PORT)
user=$(fact USER)
password=$(fact PASSWORD)
db=${db_prefix}_$$
dir=$(mktemp -d)

admin() {
    MYSQL_PWD=$(fact ADMIN_PASSWORD) mariadb --no-defaults --protocol=tcp -h 127.0.0.1 -P "$port" \
        -u "$(fact ADMIN_USER)" -B -N -e "$1"
}
cleanup() {
    if declare -F cleanup_more >/dev/null; then cleanup_more; fi
    admin "DROP DATABASE IF EXISTS $db" || true
    rm -rf "$dir"
}
trap cleanup EXIT
admin "SELECT 1" >/dev/null || { echo "FAIL: the test server at port $port does not answer"; exit 1; }

# shellcheck source=../support/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/check.sh"
login=(-h 127.0.0.1 -P "$port" -u "$user" "-p$password" -D "$db")
run() { "$tool" "${login[@]}" "$@"; }
