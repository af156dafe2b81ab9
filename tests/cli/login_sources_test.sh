#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract reaches the same server, as the same user, with the same password and over the
# same transport as the mariadb client run with the same option files, environment and options. Two
# private servers: the test server (A) and one started here (B, with a user that only its socket lets
# in). A view in each answers its user, database, port and transport as an address; each combination
# runs both programs and compares what they reached, or the refusal they met.
# Usage: login_sources_test.sh TOOL SOURCE_DIR
set -u
tool=$1
source_dir=$2
facts=${KESTRELMOOR_TEST_DB_FACTS:-$source_dir/build/test-db/facts.env}
db_prefix=kestrel_login
ann=klann_$$ bob=klbob_$$ sue=klsue_$$
cleanup_more() {
    admin "DROP USER IF EXISTS '$ann'@'127.0.0.1', '$ann'@'localhost', '$bob'@'127.0.0.1', '$bob'@'localhost'" || true
    KESTRELMOOR_TEST_DB_FACTS=$dir/b.env "$source_dir/scripts/test-db" stop
}
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
KESTRELMOOR_TEST_DB_FACTS=$dir/b.env KESTRELMOOR_TEST_DB_TLS=off "$source_dir/scripts/test-db" start 2>/dev/null ||
    { echo "FAIL: the second server did not start"; exit 1; }
factb() { sed -n "s/^$1=//p" "$dir/b.env" | head -n 1; }
pa=$port sa=$(fact SOCKET) pb=$(factb PORT) sb=$(factb SOCKET)
admin_b() {
    MYSQL_PWD=$(factb ADMIN_PASSWORD) mariadb --no-defaults --protocol=tcp -h 127.0.0.1 -P "$pb" \
        -u "$(factb ADMIN_USER)" -B -N -e "$1"
}
# The view answers for whoever reads it: CURRENT_USER() with its host (localhost: through the socket).
view="CREATE DATABASE $db; CREATE SQL SECURITY INVOKER VIEW $db.who AS SELECT CONCAT(
    REPLACE(CURRENT_USER(), '@', '.'), '.', DATABASE(), '.p',
    (SELECT VARIABLE_VALUE FROM information_schema.GLOBAL_VARIABLES WHERE VARIABLE_NAME = 'PORT'), '.',
    IF(SUBSTRING_INDEX(USER(), '@', -1) = 'localhost', 'socket', 'tcp'), '@example.com') AS address;"
user_sql() { # name, password, hosts...
    local name=$1 secret=$2 host sql=""
    shift 2
    for host in "$@"; do
        sql+="CREATE USER '$name'@'$host' IDENTIFIED BY '$secret'; GRANT SELECT ON $db.* TO '$name'@'$host';"
    done
    echo "$sql"
}
# Refusals are compared by the user named and whether a password was sent, so every user refused
# exists: for one that does not, the server answers with a plugin picked at random, and the client's
# answer to that may count as a password. The system login name is a user of B (root included: the
# test servers have no root over TCP).
pwa=ann-on-a pwb=ann-on-b pbob=bob-secret psue=sue-secret
system_users=$(printf '%s\n' "$(id -un)" "$(logname 2>/dev/null)" | grep . | sort -u)
admin "$view $(user_sql "$ann" "$pwa" 127.0.0.1 localhost) $(user_sql "$bob" "$pbob" 127.0.0.1 localhost)"
admin_b "$view $(user_sql "$ann" "$pwb" 127.0.0.1 localhost) $(user_sql "$bob" bob-on-b 127.0.0.1)
         $(user_sql "$sue" "$psue" localhost) $(for name in $system_users; do user_sql "$name" system-on-b 127.0.0.1; done)"

unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export HOME=$dir/home XDG_CONFIG_HOME=$dir/config
mkdir -p "$HOME" "$XDG_CONFIG_HOME/Veltrane" "$dir/cnf.d"

# What each side may reach: "via A tcp USER" is the address the view gives.
via() { # server, transport, user
    local p=$pa
    [ "$1" = B ] && p=$pb
    local from=127.0.0.1
    [ "$2" = socket ] && from=localhost
    echo "$3.$from.$db.p$p.$2@example.com"
}
denied() { echo "Access denied for user '$1'@'$2' (using password: $3)"; }
# The address reached, the server's or library's refusal, or that the run stopped before connecting.
outcome() {
    local out rc
    out=$(env "${env_vars[@]}" "$@" 2>"$dir/err"); rc=$?
    if [ "$rc" -eq 0 ]; then echo "$out"; return; fi
    local said
    said=$(sed -n -e 's/^ERROR [0-9]* ([0-9A-Z]*)\( at line [0-9]*\)\{0,1\}: //p' \
        -e 's/^kestrelmoor-extract: \(cannot log in: \|table `who`: \)//p' "$dir/err" | head -n 1)
    # The connection's system error number differs between the two builds of the library.
    case "$said" in
    "Access denied"* | "Can't connect"* | "No database"* | "Unknown database"*) echo "${said% ([0-9]*)}" ;;
    *) echo "stopped before connecting" ;;
    esac
}

cnf="" cnf_mode=600 stored="" env_vars=() ref=() expected=""
total=0 same=0
# Runs a combination: ours with "$@", the client with "${ref[@]}" when set (a stored login written out),
# else the same; `expected` (a pattern) is what the client reaches, so that no combination passes by
# failing on both sides for a reason of the test's own. Then every choice is reset.
both() {
    local name=$1 got want
    shift
    if [ -n "$cnf" ]; then printf '%b' "$cnf" >"$HOME/.my.cnf" && chmod "$cnf_mode" "$HOME/.my.cnf"
    else rm -f "$HOME/.my.cnf"; fi
    if [ -n "$stored" ]; then printf '[Kestrelmoor]\n%b' "$stored" >"$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"
    else rm -f "$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"; fi
    [ ${#ref[@]} -gt 0 ] || ref=("$@")
    got=$(outcome "$tool" "$@" who)
    want=$(outcome mariadb "${ref[@]}" -B -N -e 'SELECT * FROM who')
    total=$((total + 1))
    [ "$got" == "$want" ] && same=$((same + 1))
    check "$name" "$want" "$got"
    # shellcheck disable=SC2053  # a pattern on purpose
    [[ $want == $expected ]] || check "$name: the client reached what the test meant" "$expected" "$want"
    cnf="" cnf_mode=600 stored="" env_vars=() ref=() expected=""
}

# --- the command line: host, port, socket and protocol ------------------------------------------
expected=$(via A tcp "$ann")
both "the command line alone" --no-defaults -h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db"
expected=$(via B tcp "$ann")
both "localhost with a port on the command line is TCP" -h localhost -P "$pb" -u "$ann" -p"$pwb" -D "$db"
expected=$(via B tcp "$ann")
both "a port on the command line without a host is TCP" -P "$pb" -u "$ann" -p"$pwb" -D "$db"
expected=$(via B socket "$sue")
both "a socket on the command line" -h localhost -S "$sb" -u "$sue" -p"$psue" -D "$db"
expected=$(via B socket "$sue")
both "a socket after the port decides" -h localhost -P "$pa" -S "$sb" -u "$sue" -p"$psue" -D "$db"
expected=$(via B tcp "$ann")
both "a port after the socket decides" -S "$sb" -P "$pb" -u "$ann" -p"$pwb" -D "$db"
expected=$(via B socket "$sue")
both "--protocol=socket after the port decides" -P "$pa" --protocol=socket -S "$sb" -u "$sue" -p"$psue" -D "$db"
expected=$(via B tcp "$ann")
both "a port after --protocol=socket decides" --protocol=socket -S "$sb" -P "$pb" -u "$ann" -p"$pwb" -D "$db"
expected=$(via B tcp "$ann")
both "--protocol=tcp with localhost and a socket" -h localhost -S "$sb" --protocol=tcp -P "$pb" -u "$ann" -p"$pwb" -D "$db"
expected=$(via A tcp "$ann")
both "--protocol=socket with another host is still TCP" -h 127.0.0.1 --protocol=socket -S "$sb" -P "$pa" -u "$ann" -p"$pwa" -D "$db"
expected=$(denied "$sue" 127.0.0.1 YES)
both "a user of the socket alone is refused over TCP" -h 127.0.0.1 -P "$pb" -u "$sue" -p"$psue" -D "$db"

# --- option files ---------------------------------------------------------------------------------
expected=$(via B socket "$sue") cnf="[client]\nport=$pa\nsocket=$sb\nuser=$sue\npassword=$psue\ndatabase=$db\n"
both "a port from a file alone keeps the socket"
expected=$(via B socket "$sue") cnf="[client]\nport=$pa\nuser=$sue\npassword=$psue\ndatabase=$db\n"
both "a file's port with a socket on the command line" -S "$sb"
expected=$(via B tcp "$ann") cnf="[client]\nprotocol=tcp\nport=$pb\nuser=$ann\npassword=$pwb\ndatabase=$db\n"
both "protocol=tcp in a file with localhost"
expected=$(via B tcp "$ann") cnf="[client]\nprotocol=socket\nsocket=$sb\nuser=$ann\npassword=$pwb\ndatabase=$db\n"
both "a port on the command line beats a file's protocol=socket" -P "$pb"
expected=$(via B socket "$sue") cnf="[client]\nprotocol=tcp\nport=$pb\nuser=$sue\npassword=$psue\ndatabase=$db\n"
both "a socket on the command line beats a file's protocol=tcp" -S "$sb"
expected=$(via A tcp "$ann") cnf="[client]\nhost=127.0.0.1\nport=$pa\nuser=$bob\npassword=$pbob\ndatabase=$db\n"
both "the command line beats the files" -u "$ann" -p"$pwa"
expected=$(via A tcp "$ann")
cnf="[client-mariadb]\nuser=$bob\npassword=$pbob\n[client]\nhost=127.0.0.1\nport=$pa\nuser=$ann\npassword=$pwa\ndatabase=$db\n"
both "a later line wins, whatever its group"
expected=$(via A tcp "$bob")
cnf="[client-server]\nhost=127.0.0.1\nport=$pa\n[mysqld]\nuser=$ann\n[client-mariadb]\nuser=$bob\npassword=$pbob\ndatabase=$db\n"
both "[client-server] and [client-mariadb] are read, a server's group is not"
expected=$(via A tcp "$ann")
cnf="[client]\nhost=127.0.0.1\nport=$pa\nuser=$bob\npassword=$pbob\ndatabase=$db\n[mysql]\nuser=$ann\npassword=$pwa\n"
cnf+="[kestrelmoor-extract]\nuser=$ann\npassword=$pwa\n"
both "each program's own group over [client]"
printf '[client]\nuser=%s\npassword=%s\n' "$ann" "$pwa" >"$dir/included.cnf"
expected=$(via A tcp "$ann") cnf="[client]\nhost=127.0.0.1\nport=$pa\ndatabase=$db\n!include $dir/included.cnf\n"
both "!include"
printf '[client]\nport=%s\nprotocol=tcp\n' "$pb" >"$dir/cnf.d/b.cnf"
expected=$(via B tcp "$ann") cnf="[client]\nuser=$ann\npassword=$pwb\ndatabase=$db\n!includedir $dir/cnf.d\n"
both "!includedir"
expected=$(via A tcp "$ann") cnf="[client]\nhost=127.0.0.1\nport=$pa\nuser=$ann\npass=$pwa\ndatabase=$db\n"
both "an abbreviated key"
expected="stopped before connecting" cnf="user=$ann\n[client]\nhost=127.0.0.1\nport=$pa\npassword=$pwa\ndatabase=$db\n"
both "an option before any group stops both"
expected="stopped before connecting" cnf="[client]\nhost=127.0.0.1\nport=$pa\n!includedir $dir/no-such-folder\n"
both "a missing !includedir folder stops both" -u "$ann" -p"$pwa" -D "$db"
printf '[client]\nhost=127.0.0.1\nport=%s\nuser=%s\npassword=%s\ndatabase=%s\n' "$pa" "$ann" "$pwa" "$db" >"$dir/only.cnf"
expected=$(via A tcp "$ann") cnf="[client]\nport=$pb\nuser=$bob\npassword=$pbob\n"
both "--defaults-file is the only file read" --defaults-file="$dir/only.cnf"
printf '[client]\nhost=127.0.0.1\nport=%s\nuser=%s\npassword=%s\ndatabase=%s\n' "$pa" "$bob" "$pbob" "$db" >"$dir/extra.cnf"
expected=$(via A tcp "$ann") cnf="[client]\nuser=$ann\npassword=$pwa\n"
both "~/.my.cnf is read after --defaults-extra-file" --defaults-extra-file="$dir/extra.cnf"
printf '[client]\nhost=127.0.0.1\nport=%s\nprotocol=tcp\n' "$pb" >"$dir/extra.cnf"
expected=$(via B tcp "$ann") cnf="[client]\nuser=$ann\npassword=$pwb\ndatabase=$db\n"
both "--defaults-extra-file gives what ~/.my.cnf leaves out" --defaults-extra-file="$dir/extra.cnf"
expected=$(denied '*' 127.0.0.1 NO) cnf="[client]\nuser=$ann\npassword=$pwb\n"
both "--no-defaults reads no file: the system login name without a password" --no-defaults -h 127.0.0.1 -P "$pb" -D "$db"
# Anyone could point the login at a server of their own through a file anyone may write.
expected=$(denied "$ann" 127.0.0.1 NO) cnf="[client]\npassword=$pwa\n" cnf_mode=666
both "a world-writable ~/.my.cnf is ignored" -h 127.0.0.1 -P "$pa" -u "$ann" -D "$db"
printf '[client]\npassword=%s\n' "$pwa" >"$dir/shared.cnf" && chmod 666 "$dir/shared.cnf"
expected=$(denied "$ann" 127.0.0.1 NO) cnf="[client]\n!include $dir/shared.cnf\n"
both "a world-writable file included is ignored" -h 127.0.0.1 -P "$pa" -u "$ann" -D "$db"
warning="Warning: World-writable config file '$dir/shared.cnf' is ignored"
"$tool" --defaults-file="$dir/shared.cnf" --print-login >/dev/null 2>"$dir/err"
check "kestrelmoor-extract gives the client's warning for it" "kestrelmoor-extract: $warning" "$(grep -F "$warning" "$dir/err")"
mariadb --defaults-file="$dir/shared.cnf" --print-defaults >/dev/null 2>"$dir/err"
check "so does the client" "$warning" "$(grep -F -m1 "$warning" "$dir/err")"

# --- the environment --------------------------------------------------------------------------------
expected=$(via A tcp "$ann") env_vars=(MYSQL_HOST=127.0.0.1 MYSQL_TCP_PORT="$pa" MYSQL_PWD="$pwa")
both "MYSQL_HOST, MYSQL_TCP_PORT and MYSQL_PWD alone" --no-defaults -u "$ann" -D "$db"
expected=$(via A tcp "$ann") env_vars=(MYSQL_PWD=stale) cnf="[client]\npassword=$pwa\n"
both "a file's password beats MYSQL_PWD" -h 127.0.0.1 -P "$pa" -u "$ann" -D "$db"
expected=$(via B tcp "$ann") env_vars=(MYSQL_TCP_PORT="$pa") cnf="[client]\nport=$pb\nuser=$ann\npassword=$pwb\ndatabase=$db\n"
both "a file's port beats MYSQL_TCP_PORT" -h 127.0.0.1
expected=$(via B socket "$sue") env_vars=(MYSQL_HOST=127.0.0.1 MYSQL_TCP_PORT="$pa")
cnf="[client]\nhost=localhost\nsocket=$sb\nuser=$sue\npassword=$psue\ndatabase=$db\n"
both "a file's host beats MYSQL_HOST"
printf '[client]\nsocket=%s\nuser=%s\npassword=%s\ndatabase=%s\n' "$sb" "$sue" "$psue" "$db" >"$dir/only.cnf"
expected=$(via B socket "$sue") env_vars=(MYSQL_UNIX_PORT="$sa")
both "a file's socket beats MYSQL_UNIX_PORT" --defaults-file="$dir/only.cnf"
expected=$(via B socket "$sue") env_vars=(MYSQL_UNIX_PORT="$sb")
both "MYSQL_UNIX_PORT where no file names a socket" --no-defaults -u "$sue" -p"$psue" -D "$db"
expected=$(via B socket "$sue") env_vars=(MYSQL_TCP_PORT="$pa" MYSQL_UNIX_PORT="$sb")
both "MYSQL_TCP_PORT with localhost keeps the socket" --no-defaults -u "$sue" -p"$psue" -D "$db"
expected=$(via B tcp "$ann") env_vars=(MYSQL_TCP_PORT="$pb")
both "MYSQL_TCP_PORT with a host" --no-defaults -h 127.0.0.1 -u "$ann" -p"$pwb" -D "$db"
expected=$(via A tcp "$ann") env_vars=(MYSQL_HOST=localhost MYSQL_TCP_PORT="$pb" MYSQL_PWD=stale)
both "the command line beats the environment" --no-defaults -h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db"
expected=$(denied '*' 127.0.0.1 YES) env_vars=(MYSQL_PWD=stale)
both "no user anywhere: the system login name" --no-defaults -h 127.0.0.1 -P "$pb" -D "$db"

# --- the window's stored login: whole or not at all ---------------------------------------------------
stored_a="MyServer=127.0.0.1\nMyUser=$ann\nMyPassword=$pwa\nMyDatabase=$db\nMyPort=$pa\n"
expected=$(via A tcp "$ann") stored=$stored_a ref=(-h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db")
both "the stored login when nothing names a login"
expected=$(via A tcp "$ann") stored=$stored_a ref=(-h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db")
both "the stored login with a database given" -D "$db"
expected=$(via A tcp "$ann") stored=$stored_a ref=(-h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db")
both "its own server, user and port named: its password" -h 127.0.0.1 -P "$pa" -u "$ann"
expected=$(via A tcp "$ann") stored=$stored_a cnf="[client]\nuser=$ann\nhost=127.0.0.1\nport=$pa\n"
ref=(-h 127.0.0.1 -P "$pa" -u "$ann" -p"$pwa" -D "$db")
both "its own server, user and port from a file: its password"
expected=$(denied "$bob" 127.0.0.1 NO) stored=$stored_a
both "another user and port: its password is not sent" -u "$bob" -P "$pb" -D "$db"
expected=$(denied "$ann" 127.0.0.1 NO) stored=$stored_a
both "another port: its password is not sent" -h 127.0.0.1 -P "$pb" -u "$ann" -D "$db"
expected=$(denied "$bob" 127.0.0.1 NO) stored=$stored_a cnf="[client]\nhost=127.0.0.1\nport=$pa\nuser=$bob\ndatabase=$db\n"
both "its server and port from a file, another user: not used"
expected=$(via A tcp "$ann") env_vars=(MYSQL_PWD="$pwa") stored=${stored_a/MyPassword=$pwa/MyPassword=stale}
ref=(-h 127.0.0.1 -P "$pa" -u "$ann" -D "$db")
both "MYSQL_PWD over the stored password"
expected=$(denied '*' localhost NO) env_vars=(MYSQL_TCP_PORT="$pa" MYSQL_UNIX_PORT="$sb") stored=$stored_a
both "a port from the environment names another login" --no-defaults -D "$db"
# A socket, a protocol or --no-defaults typed names where to connect: nothing remembered is taken, as
# the client knows nothing remembered.
expected=$(denied "$(id -un)" localhost NO) stored="MyServer=localhost\nMyUser=$sue\nMyPassword=$psue\nMyDatabase=$db\nMyPort=3306\n"
[ "$(id -u)" -eq 0 ] && expected="*"
both "a socket typed with a remembered login" -S "$sb"
expected=$(via B socket "$sue") stored=$stored_a
both "a socket typed with a remembered TCP login is used" -S "$sb" -u "$sue" -p"$psue" -D "$db"
expected=$(denied "$ann" 127.0.0.1 NO) stored=$stored_a
both "--no-defaults takes no remembered password" --no-defaults -h 127.0.0.1 -P "$pa" -u "$ann" -D "$db"

echo "$same of $total combinations reached the same as the mariadb client"
echo "$failures failed"
[ "$failures" -eq 0 ]
