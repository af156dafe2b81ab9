#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract where the environment works against it, against the private test server
# (scripts/test-db): standard streams closed, signals during a run with -o, -o onto symbolic links,
# escape sequences in names, the password prompt interrupted, a settings file that cannot be used.
# Usage: hostile_environment_test.sh TOOL SOURCE_DIR
set -u
tool=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_hostile
listener=""
cleanup_more() { [ -z "$listener" ] || kill "$listener" 2>/dev/null; }
# shellcheck source=server_session.sh
source "$here/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT
export XDG_CONFIG_HOME=$dir/config
esc=$'t\e]0;PWNED\a\e[2J'
admin "CREATE DATABASE $db; USE $db;
       CREATE TABLE orders (id INT, contact VARCHAR(80));
       INSERT INTO orders VALUES (1, 'eve@example.com'), (2, 'cy@example.org');
       CREATE TABLE \`$esc\` (a TEXT); INSERT INTO \`$esc\` VALUES ('esc@example.com');"

# --- closed standard streams --------------------------------------------------------------------
# A closed descriptor must not become the connection's socket, or output and messages go into it.
aborted() { sleep 0.3; admin "SHOW GLOBAL STATUS LIKE 'Aborted_clients'" | cut -f2; }
before=$(aborted)
run orders >&- 2>"$dir/err"; rc=$?
check "a closed standard output exits 1" 1 "$rc"
check "and says so" "kestrelmoor-extract: cannot write the addresses: Bad file descriptor" "$(cat "$dir/err")"
run orders gone 2>&- >"$dir/out"; rc=$?
check "a closed standard error: the failure still exits 1" 1 "$rc"
check "and the addresses are written" "eve@example.com
cy@example.org" "$(cat "$dir/out")"
check "no connection was broken by stray bytes" "$before" "$(aborted)"

# A reader that goes away ends the run quietly, as in any pipeline (more than one buffer of output).
admin "USE $db; CREATE TABLE many (e TEXT) SELECT CONCAT('user', seq, '@example.com') AS e FROM seq_1_to_6000"
run many 2>"$dir/err" | head -n 1 >/dev/null
check "a broken pipe ends the run by SIGPIPE, without a word" "141 " "${PIPESTATUS[0]} $(cat "$dir/err")"

# --- signals during a run with -o ---------------------------------------------------------------
# A listener of our own that accepts and never answers holds the run in its login.
exec 3< <(exec python3 -c 'import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
while True: held.append(s.accept())')
listener=$!
read -r silent_port <&3
mkdir "$dir/signals"
printf 'old\n' >"$dir/signals/FILE"
for signal in INT TERM HUP; do
    # Started with the signal's default action (a shell's background job would ignore SIGINT).
    env --default-signal=INT,QUIT,TERM,HUP "$tool" -h 127.0.0.1 -P "$silent_port" -u nobody --password=x \
        -o "$dir/signals/FILE" orders 2>/dev/null &
    pid=$!
    for _ in $(seq 1 100); do # until the temporary file is open
        ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "$dir/signals/" && break
        sleep 0.05
    done
    kill -"$signal" "$pid"
    wait "$pid" 2>/dev/null; rc=$?
    check "SIG$signal ends the run as the signal does" "$((128 + $(kill -l "$signal")))" "$rc"
    check "SIG$signal leaves nothing but FILE, as it was" "FILE old" "$(ls -A "$dir/signals") $(cat "$dir/signals/FILE")"
done

terminal() { TERM=${term:-xterm} python3 "$here/pty_run.py" "$dir/screen" "$@"; }

# --- silent servers -----------------------------------------------------------------------------
# A server that never answers is given up after the connect time-out, tables named or not.
start=$SECONDS
"$tool" -h 127.0.0.1 -P "$silent_port" -u nobody --password=x orders >/dev/null 2>"$dir/err"; rc=$?
check "a silent server is given up within 20 s, said once" "1 1 yes" \
    "$rc $(grep -c 'cannot log in' "$dir/err") $([ $((SECONDS - start)) -le 20 ] && echo yes)"
"$tool" -h 127.0.0.1 -P "$silent_port" -u nobody --password=x --connect-timeout=1 orders >/dev/null 2>&1
check "--connect-timeout sets that time" yes "$([ $((SECONDS - start)) -le 23 ] && echo yes)"
"$tool" -h 127.0.0.1 -P "$silent_port" -u nobody --password=x --connect-timeout=1 --databases a b c \
    >/dev/null 2>"$dir/err"; rc=$?
check "--databases tries a silent server once" "1 1" "$rc $(grep -c 'kestrelmoor-extract: ' "$dir/err")"
# A server that goes quiet in the middle of a table is said to be waited for, and given up after
# --read-timeout.
admin "CREATE VIEW $db.slow AS SELECT 'slow@example.com' AS e, SLEEP(6) AS s"
terminal none "$tool" "${login[@]}" slow >/dev/null
check "a quiet server is said to be waited for" 1 "$(grep -c 'slow: reading, waiting for the server (3 s)' "$dir/screen")"
"$tool" "${login[@]}" --read-timeout=2 slow >/dev/null 2>"$dir/err"; rc=$?
check "--read-timeout gives it up" "1 1" "$rc $(grep -c 'nothing arrived for 2 s' "$dir/err")"

# --- -o onto symbolic links ---------------------------------------------------------------------
mkdir "$dir/links" "$dir/links/real"
printf 'old\n' >"$dir/links/real/list.txt"
ln -s real/list.txt "$dir/links/link.txt"
ln -s real/new.txt "$dir/links/dangling.txt"
(cd / && run -o "$dir/links/link.txt" orders && run -o "$dir/links/dangling.txt" orders); rc=$?
check "writing through links exits 0" 0 "$rc"
check "the links stay links" "real/list.txt real/new.txt" \
    "$(readlink "$dir/links/link.txt") $(readlink "$dir/links/dangling.txt")"
check "the link's target is written, a dangling link's created" "eve@example.com
cy@example.org
eve@example.com
cy@example.org" "$(cat "$dir/links/real/list.txt" "$dir/links/real/new.txt")"

# --- escape sequences on a terminal -------------------------------------------------------------
# Only the program's own "erase to the end of the line" may reach the terminal as an escape sequence.
raw_controls() { sed 's/\x1b\[K//g' "$dir/screen" | tr -d '\r\n' | tr -cd '\000-\037\177' | od -An -c | tr -d ' '; }
terminal none "$tool" "${login[@]}" >/dev/null
check "a listed table's name in the progress line" "" "$(raw_controls)"
check "is shown escaped" 1 "$(grep -c 't\\x1b\]0;PWNED\\a\\x1b\[2J: 1 of 1 rows' "$dir/screen")"
terminal none "$tool" "${login[@]}" -o "$dir/missing/$esc" orders >/dev/null
check "a file name in a message" "" "$(raw_controls)"
check "is shown escaped" 1 "$(grep -c 'missing/t\\x1b\]0;PWNED\\a\\x1b\[2J: No such file' "$dir/screen")"

# The addresses on the progress line's terminal each start a line of their own; a terminal that obeys
# no escape sequence gets none, and no progress line.
terminal none "$tool" "${login[@]}" orders >/dev/null
check "an address on the progress line's terminal erases the line first" 1 \
    "$(grep -c $'^\rorders: reading\x1b\\[K\r\x1b\\[Keve@example.com\r$' "$dir/screen")"
term=dumb terminal none "$tool" "${login[@]}" orders >/dev/null
check "TERM=dumb gets the addresses alone" "eve@example.com cy@example.org" "$(tr -d '\r' <"$dir/screen" | paste -sd ' ')"

# --- the password prompt interrupted ------------------------------------------------------------
prompt=("$tool" -h 127.0.0.1 -P "$port" -u "$user" -p -D "$db" orders)
check "Ctrl-C at the prompt ends the program with echo back on" "status=-2 echo=on" "$(terminal ctrl-c "${prompt[@]}")"
check "SIGTERM at the prompt too" "status=-15 echo=on" "$(terminal sigterm "${prompt[@]}")"
terminal ctrl-d "${prompt[@]}" >/dev/null
check "Ctrl-D at the prompt ends its line and is said to be no password" "1 1" \
    "$(grep -c $'^Enter password: \r$' "$dir/screen") $(grep -c 'no password given (end of input at the prompt)' "$dir/screen")"

# --- a narrow terminal --------------------------------------------------------------------------
# The progress line is cut to the width, so that each redraw overwrites it instead of adding a line.
admin "USE $db; CREATE TABLE plenty (e TEXT); INSERT INTO plenty SELECT CONCAT('x', seq) FROM seq_1_to_300000"
PTY_COLUMNS=20 terminal none "$tool" "${login[@]}" plenty >/dev/null
longest=$(sed 's/\x1b\[K//g' "$dir/screen" | tr '\r' '\n' | awk '{ if (length($0) > n) n = length($0) } END { print n }')
check "on 20 columns no progress text is wider than 19" yes "$([ "$longest" -le 19 ] && echo yes)"

# --- a settings file that cannot be used --------------------------------------------------------
mkdir -p "$XDG_CONFIG_HOME/Veltrane"
head -c 300 /dev/urandom >"$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"
"$tool" -h 127.0.0.1 -P "$port" -u "$user" "-p$password" orders >/dev/null 2>"$dir/err"
check "a settings file of random bytes is named, with what was done instead" 1 \
    "$(grep -c "settings file $XDG_CONFIG_HOME/Veltrane/Veltrane.conf is not used: it is not a settings file.*the defaults" "$dir/err")"

echo "$failures failed"
[ "$failures" -eq 0 ]
