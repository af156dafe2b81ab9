#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract database mode end to end against the private test server (scripts/test-db):
# tables named or listed, both formats byte for byte, the output file replaced only as a whole, every
# failure printed with its line while the run goes on, the login taken from the options, the
# environment, option files or the settings store, and the password hidden from the process list.
# Usage: database_mode_test.sh TOOL SOURCE_DIR
set -u
tool=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_cli
cleanup_more() { admin "DROP USER IF EXISTS 'kcli_semi'@'127.0.0.1'" || true; }
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export XDG_CONFIG_HOME=$dir/config HOME=$dir  # no ~/.my.cnf of the one who runs the tests
mkdir -p "$XDG_CONFIG_HOME"

admin "CREATE DATABASE $db; USE $db;
       CREATE TABLE people (id INT, name VARCHAR(40), email VARCHAR(80), note TEXT);
       INSERT INTO people VALUES (1, 'Ann', 'Ann@Example.com', NULL), (2, 'Bob', NULL, 'bob@example.net, ann@example.COM'),
                                 (3, 'Cy', 'cy@example.org', 'and dee@example.org');
       CREATE TABLE orders (id INT, contact VARCHAR(80));
       INSERT INTO orders VALUES (1, 'eve@example.com'), (2, 'CY@example.org');
       CREATE TABLE empty_one (a INT);
       CREATE TABLE sys_log (a TEXT); INSERT INTO sys_log VALUES ('sys@example.com');
       CREATE TABLE SYSTEM_x (a TEXT); INSERT INTO SYSTEM_x VALUES ('upper@example.com');
       CREATE TABLE sy (a TEXT); INSERT INTO sy VALUES ('short@example.com');"

# --- which tables, in which order ---------------------------------------------------------------
out=$(run orders people); rc=$?
check "named tables are read in the order named" "eve@example.com
CY@example.org
Ann@Example.com
bob@example.net
dee@example.org" "$out"
check "a clean run exits 0" 0 "$rc"

out=$(run)
check "without names every table but the sys ones is read, in the server's order" "eve@example.com
CY@example.org
Ann@Example.com
bob@example.net
dee@example.org
short@example.com" "$out"

check "a sys table named on the command line is read" "sys@example.com" "$(run sys_log)"

# --- formats ------------------------------------------------------------------------------------
run --comma orders people >"$dir/comma"
printf 'eve@example.com,CY@example.org,Ann@Example.com,bob@example.net,dee@example.org,\r\n' >"$dir/want"
cmp -s "$dir/want" "$dir/comma"; check "--comma writes the comma file's bytes" 0 "$?"
run --comma empty_one >"$dir/comma"
cmp -s <(printf '\r\n') "$dir/comma"; check "--comma with no address gives CR LF alone" 0 "$?"

# --- output file --------------------------------------------------------------------------------
run -o "$dir/out.txt" orders; rc=$?
check "-o writes the file" "eve@example.com
CY@example.org" "$(cat "$dir/out.txt")"
check "-o exits 0" 0 "$rc"
run --output="$dir/out.txt" --comma people; rc=$?
check "--output replaces the file" "Ann@Example.com,bob@example.net,cy@example.org,dee@example.org," \
    "$(tr -d '\r\n' <"$dir/out.txt")"
cp "$dir/out.txt" "$dir/before.txt"
"$tool" -h 127.0.0.1 -P "$port" -u "$user" -pwrong -D "$db" -o "$dir/out.txt" people 2>"$dir/err"; rc=$?
cmp -s "$dir/before.txt" "$dir/out.txt"; check "a wrong password leaves the file byte for byte" 0 "$?"
check "a wrong password exits 1" 1 "$rc"
check "a failed login with a table named is said once, with what to check" "kestrelmoor-extract: cannot log in: Access denied for user '$user'@'127.0.0.1' (using password: YES)
kestrelmoor-extract: check the host, port, user name, password and TLS options; --print-login shows the login used" \
    "$(grep -v 'left as it was' "$dir/err")"
check "the file is said to be left as it was" 1 "$(grep -c "out.txt was left as it was" "$dir/err")"
"$tool" -h 127.0.0.1 -P "$port" -u "$user" -pwrong -D "$db" -v orders people 2>"$dir/err"
check "and tries no table, --verbose adding the report's line" "kestrelmoor-extract: cannot log in: Access denied for user '$user'@'127.0.0.1' (using password: YES) (at line 110)" \
    "$(head -n 1 "$dir/err"; tail -n +3 "$dir/err")"
run -o "$dir/out.txt" orders gone 2>/dev/null
cmp -s "$dir/before.txt" "$dir/out.txt"; check "a failed table leaves the file too" 0 "$?"
check "no temporary file is left beside it" "before.txt
config
err
out.txt
want" "$(ls -A "$dir" | grep -v '^comma$')"

run -o "$dir/no/such/folder/x.txt" orders 2>"$dir/err"; rc=$?
check "a missing folder exits 1" 1 "$rc"
check "a missing folder is reported" 1 "$(grep -c 'cannot write the addresses to .*x.txt: No such file or directory' "$dir/err")"
if [ "$(id -u)" -eq 0 ]; then locked=/proc/kcli-out.txt; else
    mkdir "$dir/locked" && chmod 500 "$dir/locked"
    locked=$dir/locked/x.txt
fi
run -o "$locked" orders 2>"$dir/err"; rc=$?
check "an unwritable folder exits 1" 1 "$rc"
check "an unwritable folder is reported" 1 "$(grep -c "cannot write the addresses to $locked" "$dir/err")"

for i in $(seq 1 4000); do echo "($i, 'user$i@example.com')"; done | paste -sd, |
    sed "s/^/USE $db; CREATE TABLE many (id INT, e TEXT); INSERT INTO many VALUES /" >"$dir/many.sql"
admin "$(cat "$dir/many.sql")"
run many >/dev/full 2>"$dir/err"; rc=$?
check "a full device on standard output exits 1" 1 "$rc"
check "a full device is reported" 1 "$(grep -c 'cannot write the addresses: No space left on device' "$dir/err")"
run -o /dev/full orders 2>"$dir/err"; rc=$?
check "-o /dev/full exits 1" 1 "$rc"
check "-o /dev/full is reported" 1 "$(grep -c 'cannot write the addresses to /dev/full: No space left on device' "$dir/err")"

# --- failures go on -----------------------------------------------------------------------------
admin "USE $db; CREATE TABLE doomed (a TEXT); INSERT INTO doomed VALUES ('doomed@example.com')"
admin "DROP TABLE $db.doomed"
out=$(run orders doomed people 2>"$dir/err"); rc=$?
check "the run goes on after a dropped table" "eve@example.com
CY@example.org
Ann@Example.com
bob@example.net
dee@example.org" "$out"
check "a dropped table exits 1" 1 "$rc"
check "a dropped table is reported with its name" "kestrelmoor-extract: table \`doomed\`: Table '$db.doomed' doesn't exist" "$(cat "$dir/err")"

"$tool" -h 127.0.0.1 -P abc -u "$user" "-p$password" -D "$db" orders 2>"$dir/err"; rc=$?
check "a port of letters is a usage error" 2 "$rc"
check "a port of letters is said in the user's terms" "kestrelmoor-extract: --port: 'abc' is not a port number (1-65535)
Try 'kestrelmoor-extract --help' for more information." "$(cat "$dir/err")"

# --- where the login comes from -----------------------------------------------------------------
check "reading the settings creates nothing" "" "$(run orders >/dev/null; "$tool" -P "$port" orders >/dev/null 2>&1; ls -A "$XDG_CONFIG_HOME")"
mkdir -p "$XDG_CONFIG_HOME/Veltrane"
printf '[Kestrelmoor]\nMyServer=127.0.0.1\nMyUser=%s\nMyPassword=%s\nMyDatabase=%s\nMyPort=%s\n' \
    "$user" "$password" "$db" "$port" >"$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"
cp "$XDG_CONFIG_HOME/Veltrane/Veltrane.conf" "$dir/conf.before"
check "a bare command line logs in as the window remembers" "eve@example.com
CY@example.org" "$("$tool" orders)"
cmp -s "$dir/conf.before" "$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"; check "the settings file is not rewritten" 0 "$?"
sed -i 's/^MyPassword=.*/MyPassword=stale/' "$XDG_CONFIG_HOME/Veltrane/Veltrane.conf"
printf '[client]\npassword\n' >"$dir/ask.cnf"
setsid -w "$tool" --defaults-file="$dir/ask.cnf" -h 127.0.0.1 -P "$port" -u "$user" -D "$db" orders 2>"$dir/err" </dev/null
check "a password to ask for from an option file names the file without a terminal" 1 \
    "$(grep -c "\"password\" without a value in $dir/ask.cnf asks for the password on the terminal, but" "$dir/err")"
check "MYSQL_PWD stands in for the stored password" "eve@example.com" "$(MYSQL_PWD=$password "$tool" orders | head -n 1)"
check "an option beats MYSQL_PWD" "eve@example.com" "$(MYSQL_PWD=stale "$tool" "-p$password" orders | head -n 1)"
"$tool" orders >/dev/null 2>"$dir/err"; rc=$?
check "the stale stored password fails with exit 1" 1 "$rc"
check "and is reported as a failed login" 1 "$(grep -c '^kestrelmoor-extract: cannot log in: Access denied' "$dir/err")"
rm -rf "$XDG_CONFIG_HOME/Veltrane"

semi='{se;cr}et'
admin "CREATE USER 'kcli_semi'@'127.0.0.1' IDENTIFIED BY '$semi'; GRANT SELECT ON $db.* TO 'kcli_semi'@'127.0.0.1'"
check "a password with ; and braces arrives as given" "eve@example.com" \
    "$("$tool" -h 127.0.0.1 -P "$port" -u kcli_semi "--password=$semi" -D "$db" orders | head -n 1)"

if command -v setsid >/dev/null; then
    setsid -w "$tool" -h 127.0.0.1 -P "$port" -u "$user" -p -D "$db" orders </dev/null >/dev/null 2>"$dir/err"; rc=$?
    check "-p without a terminal exits 1" 1 "$rc"
    check "-p without a terminal says so" 1 "$(grep -c 'asks for the password on the terminal, but there is none' "$dir/err")"
fi

# --- encryption ---------------------------------------------------------------------------------
# The login encrypts when the server offers TLS, without reading a CA file it would never use: one
# named in the environment is a pipe that nobody writes, so opening it would hang the run.
ssl_accepts() { admin "SHOW GLOBAL STATUS LIKE 'Ssl_accepts'" | cut -f2; }
mkfifo "$dir/ca.pipe"
before=$(ssl_accepts)
probe=$(($(ssl_accepts) - before)) # the probe's own login
before=$(ssl_accepts)
out=$(SSL_CERT_FILE=$dir/ca.pipe timeout 20 "$tool" "${login[@]}" orders); rc=$?
handshakes=$(($(ssl_accepts) - before - probe))
check "a CA file named in the environment is not read" "0 eve@example.com" "$rc $(echo "$out" | head -n 1)"
if [ "$(fact TLS)" = on ]; then
    check "the run's login was encrypted" 1 "$handshakes"
else
    check "a server without TLS is read in the clear" 0 "$handshakes"
fi
before=$(ssl_accepts)
out=$(run --skip-ssl orders | head -n 1)
check "--skip-ssl reads in the clear" "eve@example.com $((before + probe))" "$out $(ssl_accepts)"
if [ "$(fact TLS)" = on ]; then
    # The test server's certificate is made out to 127.0.0.1 by an authority of its own.
    check "the right authority verifies the server" "eve@example.com" "$(run --ssl-ca="$(fact CA)" orders | head -n 1)"
    check "--ssl-verify-server-cert checks against the system's authorities, here the test's own" \
        "eve@example.com" "$(SSL_CERT_FILE=$(fact CA) run --ssl-verify-server-cert orders | head -n 1)"
    openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj /CN=other-ca -keyout "$dir/other.key" \
        -out "$dir/other.pem" 2>/dev/null
    for wrong in "another authority:--ssl-ca=$dir/other.pem:127.0.0.1" "another host name:--ssl-ca=$(fact CA):localhost"; do
        IFS=: read -r what option host <<<"$wrong"
        "$tool" -h "$host" --protocol=tcp -P "$port" -u "$user" "-p$password" -D "$db" "$option" orders \
            >"$dir/out" 2>"$dir/err"
        check "$what fails the login clearly" "1 0 1" \
            "$? $(wc -c <"$dir/out") $(grep -c '^kestrelmoor-extract: cannot log in: .*certificate' "$dir/err")"
    done
    # A check asked for is never dropped: skip-ssl in a file gives way to it; a --skip-ssl typed after
    # it is refused.
    printf '[client]\nskip-ssl\n' >"$dir/skip.cnf"
    run --defaults-extra-file="$dir/skip.cnf" --ssl-ca="$dir/other.pem" orders >"$dir/out" 2>"$dir/err"
    check "skip-ssl in a file keeps a wrong authority from being used" "1 0 1" \
        "$? $(wc -c <"$dir/out") $(grep -c '^kestrelmoor-extract: cannot log in: .*certificate' "$dir/err")"
    before=$(ssl_accepts)
    out=$(run --skip-ssl --ssl-ca="$(fact CA)" orders | head -n 1)
    check "--skip-ssl before --ssl-ca reads encrypted" "eve@example.com 1" "$out $(($(ssl_accepts) - before - probe))"
    run --ssl-verify-server-cert --skip-ssl orders >"$dir/out" 2>"$dir/err"
    check "--skip-ssl after --ssl-verify-server-cert is a usage error naming both" "2 0 1" \
        "$? $(wc -c <"$dir/out") $(grep -c '^kestrelmoor-extract: --skip-ssl: cannot go with --ssl-verify-server-cert' "$dir/err")"
fi

# --- how the connection is made ------------------------------------------------------------------
check "--compress reads the same" "eve@example.com" "$(run --compress orders | head -n 1)"
check "-S names the socket of the server localhost" "eve@example.com" \
    "$("$tool" -h localhost -S "$(fact SOCKET)" -u "$user" "-p$password" -D "$db" orders | head -n 1)"
check "--protocol=socket after a port uses the socket" "eve@example.com" \
    "$("$tool" -h localhost -P 1 --protocol=socket -S "$(fact SOCKET)" -u "$user" "-p$password" -D "$db" orders |
        head -n 1)"

# --- option files and the environment ------------------------------------------------------------
cnf=$dir/login.cnf
printf '[client]\nhost = 127.0.0.1\nport = 1\nuser = nobody\n[mysqld]\nport = abc\n' >"$cnf"
printf '[kestrelmoor-extract]\nport = %s\nuser = %s\npassword = "%s"\n!include %s\n' \
    "$port" "$user" "$password" "$dir/db.cnf" >>"$cnf"
printf '[client]\ndatabase = %s # the test database\n' "$db" >"$dir/db.cnf"
check "a login from --defaults-file: [client], its own group over it, an include" "eve@example.com
CY@example.org" "$("$tool" orders --defaults-file="$cnf")"
out=$(MYSQL_HOST=env.example MYSQL_TCP_PORT=4444 "$tool" --defaults-file="$cnf" --print-login -u cli -psecret); rc=$?
check "--print-login says where each value comes from, the password masked" "transport	TCP to 127.0.0.1:$port	(the host)
host	127.0.0.1	($cnf)
port	$port	($cnf)
user	cli	(command line)
password	********	(command line)
database	$db	($dir/db.cnf)
compress	when reading ahead from a server far away, not on loopback	(default)
ssl	when the server offers it	(default)" "$out"
check "--print-login exits 0" 0 "$rc"
check "the option files beat the environment, as the client has it" "eve@example.com" \
    "$(MYSQL_TCP_PORT=1 MYSQL_HOST=nowhere.invalid "$tool" --defaults-file="$cnf" orders | head -n 1)"
check "the command line beats the environment" "eve@example.com" \
    "$(MYSQL_TCP_PORT=1 MYSQL_HOST=nowhere.invalid "$tool" --defaults-file="$cnf" -P "$port" -h 127.0.0.1 orders | head -n 1)"
check "a login from the environment alone" "eve@example.com" \
    "$(MYSQL_HOST=127.0.0.1 MYSQL_TCP_PORT=$port MYSQL_PWD=$password "$tool" --no-defaults -u "$user" -D "$db" orders | head -n 1)"
printf '[client]\nport = abc\n' >"$dir/bad.cnf"
"$tool" --defaults-file="$dir/bad.cnf" orders 2>"$dir/err"; rc=$?
check "a malformed value in an option file is a usage error" 2 "$rc"
check "it names the file and line" 1 "$(grep -c "bad.cnf:2: port: 'abc' is not a port number (1-65535)" "$dir/err")"
"$tool" --defaults-file="$dir/none.cnf" orders 2>"$dir/err"; rc=$?
check "a missing --defaults-file exits 1" "1 1" "$rc $(grep -c 'cannot read the option file .*none.cnf' "$dir/err")"
# An option file read by default that cannot be used is named; a FIFO is never opened, so nothing waits.
mkfifo "$HOME/.my.cnf"
timeout 20 "$tool" --print-login >/dev/null 2>"$dir/err"; rc=$?
check "a FIFO as ~/.my.cnf is passed over, named" "0 1" \
    "$rc $(grep -c "^kestrelmoor-extract: passing over the option file $HOME/.my.cnf: not a regular file" "$dir/err")"
rm "$HOME/.my.cnf"
"$tool" --defaults-file="$dir" orders 2>"$dir/err"; rc=$?
check "a folder as --defaults-file exits 1, named" "1 1" "$rc $(grep -c "cannot read the option file $dir: Is a directory" "$dir/err")"
rm -f "$cnf" "$dir/db.cnf" "$dir/bad.cnf"

# --- the password out of sight ------------------------------------------------------------------
# A server that accepts and never answers keeps the run waiting while its argument list is read.
python3 -c 'import socket, sys
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(5)
open(sys.argv[1], "w").write(str(s.getsockname()[1]))
c, _ = s.accept(); open(sys.argv[2], "w").write("accepted")
c.recv(1)' "$dir/silent.port" "$dir/silent.accepted" &
listener=$!
for _ in $(seq 1 100); do [ -s "$dir/silent.port" ] && break; sleep 0.1; done
"$tool" -h 127.0.0.1 -P "$(cat "$dir/silent.port")" -u "$user" -pSecretInArgv orders >/dev/null 2>&1 &
waiting=$!
for _ in $(seq 1 100); do [ -s "$dir/silent.accepted" ] && break; sleep 0.1; done
cmdline=$(tr '\0' ' ' <"/proc/$waiting/cmdline")
kill "$waiting" "$listener" 2>/dev/null; wait "$waiting" "$listener" 2>/dev/null
check "a password given as an option is hidden from the process list" \
    "$tool -h 127.0.0.1 -P $(cat "$dir/silent.port") -u $user -pxxxxxxxxxxxx orders " "$cmdline"
rm -f "$dir"/silent.*

# --- usage --------------------------------------------------------------------------------------
"$tool" --colour 2>"$dir/err"; rc=$?
check "an unknown option is a usage error" 2 "$rc"
check "the usage error names the option" 1 "$(grep -c "unknown option '--colour'" "$dir/err")"
"$tool" -h 2>/dev/null; check "a missing value is a usage error" 2 "$?"
"$tool" --help >"$dir/help"; rc=$?
check "--version and -V print the version" "1
1" \
    "$("$tool" --version | grep -c '^kestrelmoor-extract (Kestrelmoor) [0-9]'; "$tool" t -V | grep -c '[0-9]\.[0-9]')"
check "-? is --help" "$(cat "$dir/help")" "$("$tool" -u x '-?')"
check "--help exits 0" 0 "$rc"
for argument in --help --version; do # a full disk is a write error, as for GNU programs
    out=$("$tool" "$argument" 2>&1 >/dev/full); rc=$?
    check "$argument onto a full disk" "1 kestrelmoor-extract: write error: No space left on device" "$rc $out"
done
for word in --host= --user= '--password\[=PASSWORD\]' --port= --database= --socket= --protocol= --ssl-ca= \
    --defaults-file= --print-login --comma --output= MYSQL_PWD MYSQL_TCP_PORT '~/.my.cnf' Veltrane.conf 'CR LF' --text; do
    grep -q -- "$word" "$dir/help"; check "--help documents $word" 0 "$?"
done

echo "$failures failed"
[ "$failures" -eq 0 ]
