#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract --where, --find, --databases and --all-databases against the private test server
# (scripts/test-db): the places of each address with their row counts, in order, across two databases;
# the server's own databases left out; --find's lines and exit status.
# Usage: where_test.sh TOOL SOURCE_DIR
set -u
tool=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_where
lister=kwhere_$$
cleanup_more() {
    admin "DROP DATABASE IF EXISTS ${db}_b; DROP DATABASE IF EXISTS ${db}_c; DROP TABLE IF EXISTS mysql.kwhere_probe_$$;
           DROP USER IF EXISTS '$lister'@'127.0.0.1'" || true
}
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export XDG_CONFIG_HOME=$dir/config HOME=$dir
tab=$(printf '\t')

# The same address in two tables, three columns and three letter cases; twice in one value; in a BLOB
# among bytes that are no text; NULLs around it. A second database shares one address with the first.
admin "CREATE DATABASE $db; USE $db;
       CREATE TABLE customers (id INT, email VARCHAR(80), alt VARCHAR(80), photo BLOB);
       INSERT INTO customers VALUES (1, 'Ann@Example.com', NULL, NULL),
           (2, 'bob@example.net', 'ANN@example.com', CONCAT(X'00FF20', 'ann@example.com')),
           (3, NULL, NULL, NULL);
       CREATE TABLE orders (id INT, notes TEXT);
       INSERT INTO orders VALUES (1, 'ann@example.com, again ann@EXAMPLE.com'), (2, 'for Ann@Example.com'),
           (3, 'none'), (4, 'ann@example.com');
       CREATE DATABASE ${db}_b;
       CREATE TABLE ${db}_b.contacts (id INT, mail TEXT);
       INSERT INTO ${db}_b.contacts VALUES (1, 'bob@EXAMPLE.net'), (2, 'cy@example.org');
       CREATE TABLE ${db}_b.\`odd${tab}name\` (\`a\\b\` TEXT);
       INSERT INTO ${db}_b.\`odd${tab}name\` VALUES ('cy@example.org');"
ann="Ann@Example.com	$db	customers	email	1
Ann@Example.com	$db	customers	alt	1
Ann@Example.com	$db	customers	photo	1
Ann@Example.com	$db	orders	notes	3"
bob="bob@example.net	$db	customers	email	1"
second="bob@example.net	${db}_b	contacts	mail	1
cy@example.org	${db}_b	contacts	mail	1
cy@example.org	${db}_b	odd\\tname	a\\\\b	1"

# --- --where --------------------------------------------------------------------------------------
out=$(run --where); rc=$?
check "--where: a line per address and place, rows counted once each, in the order met" "$ann
$bob" "$out"
check "--where exits 0" 0 "$rc"
check "--header adds the field names" "address	database	table	column	rows
$bob" "$(run --where --header customers | grep -v '^Ann')"

# --- several databases ----------------------------------------------------------------------------
out=$(run --databases "$db" nosuch "${db}_b" --where 2>"$dir/err"); rc=$?
check "--databases: every table of each, in the order named, places in both" "$ann
$bob
$second" "$out"
check "a database that cannot be read is reported, the run goes on, exit 1" "1 1" \
    "$rc $(grep -c "cannot list the tables of database 'nosuch'" "$dir/err")"
check "--databases de-duplicates across the databases, first form wins" "Ann@Example.com
bob@example.net
cy@example.org" "$(run --databases "$db" "${db}_b")"

# A lister who can see the server's own databases, with an address in one of them.
admin "CREATE USER '$lister'@'127.0.0.1' IDENTIFIED BY '$password';
       GRANT SELECT ON $db.* TO '$lister'@'127.0.0.1'; GRANT SELECT ON ${db}_b.* TO '$lister'@'127.0.0.1';
       GRANT SELECT ON mysql.* TO '$lister'@'127.0.0.1'; GRANT SELECT ON sys.* TO '$lister'@'127.0.0.1';
       GRANT SELECT ON performance_schema.* TO '$lister'@'127.0.0.1';
       CREATE TABLE mysql.kwhere_probe_$$ (a TEXT); INSERT INTO mysql.kwhere_probe_$$ VALUES ('root@example.com')"
as_lister=("$tool" -h 127.0.0.1 -P "$port" -u "$lister" "-p$password")
check "the probe in mysql is readable when named" "root@example.com" \
    "$("${as_lister[@]}" --databases mysql 2>/dev/null | grep '^root@example.com$')"
out=$("${as_lister[@]}" -D nosuch --all-databases --where); rc=$?
check "--all-databases reads every database but the server's own, whatever -D says" "$ann
$bob
$second" "$out"
check "--all-databases exits 0" 0 "$rc"

# --- --find ---------------------------------------------------------------------------------------
out=$(run --databases "$db" "${db}_b" --find CY@example.ORG --find ann@example.com); rc=$?
check "--find: the lines of the addresses asked for, in another letter case, in run order" "$ann
cy@example.org	${db}_b	contacts	mail	1
cy@example.org	${db}_b	odd\\tname	a\\\\b	1" "$out"
check "--find exits 0 when found" 0 "$rc"
out=$(run --find nobody@example.com --header); rc=$?
check "--find of an absent address: the header alone, exit 1" "address	database	table	column	rows 1" "$out $rc"
run --find ann@example.com orders gone >/dev/null 2>&1
check "--find after a failed table exits 2: it cannot tell what it missed" 2 "$?"
run --find nobody@example.com orders gone >/dev/null 2>&1
check "--find that finds nothing after a failed table exits 2 as well" 2 "$?"

# --- names a terminal would obey ------------------------------------------------------------------
# A table named to retitle the terminal and ring its bell, a column holding a C1 control (NEL).
esc=$(printf '\033') bel=$(printf '\007') nel=$(printf '\302\205')
admin "CREATE DATABASE ${db}_c; CREATE TABLE ${db}_c.\`t${esc}]0;owned${bel}\` (\`n${nel}\` TEXT);
       INSERT INTO ${db}_c.\`t${esc}]0;owned${bel}\` VALUES ('esc@example.org')"
status=$(python3 "$(dirname "$0")/pty_run.py" "$dir/screen" none "$tool" "${login[@]}" --databases "${db}_c" --where)
check "on a terminal the names' controls are written escaped" "status=0 echo=on 1" \
    "$status $(grep -c "^esc@example.org	${db}_c	t\\\\x1b]0;owned\\\\a	n\\\\u0085	1" "$dir/screen")"
# The progress line's own erase sequence (ESC [ K) aside, no ESC or BEL reaches the terminal.
check "none of them raw" 0 "$(sed 's/\x1b\[K//g' "$dir/screen" | tr -cd '\033\007' | wc -c)"

# --- usage ----------------------------------------------------------------------------------------
for args in "--where --comma" "--header" "--databases" "--all-databases $db" "--databases $db --all-databases" \
    "--text --where"; do
    # shellcheck disable=SC2086 # the words of each case
    run $args >/dev/null 2>&1
    check "$args is a usage error" 2 "$?"
done

help=$("$tool" --help)
for word in --where --header --find= --databases --all-databases; do
    grep -q -- "$word" <<<"$help"; check "--help documents $word" 0 "$?"
done

echo "$failures failed"
[ "$failures" -eq 0 ]
