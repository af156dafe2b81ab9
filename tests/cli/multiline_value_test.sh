#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A value of many lines with Unix line ends, as support tickets and notes hold them: the same addresses
# whether it is read from a table (plain, --where, --find) or from a file with --text.
# Usage: multiline_value_test.sh TOOL SOURCE_DIR
set -u
tool=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_lines
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export XDG_CONFIG_HOME=$dir/config HOME=$dir

ticket='Subject: parcel 88213 never arrived
From: jane.doe+orders@mail.example.com
Hello, the parcel is still missing. Please write to my partner at john@example.org.
Cc: support@shop.example.net
Thanks, Jane'
want='jane.doe+orders@mail.example.com
john@example.org
support@shop.example.net'
admin "CREATE DATABASE $db; CREATE TABLE $db.tickets (id INT, body TEXT);
       INSERT INTO $db.tickets VALUES (1, '$ticket')"
printf '%s\n' "$ticket" >"$dir/ticket.txt"

check "database mode: one address per line, the sentence's full stop and the + part as they belong" \
    "$want" "$(run tickets)"
check "--text over the same lines gives the same" "$want" "$("$tool" --text "$dir/ticket.txt")"
check "--where places each in the ticket's row" "$(sed "s/\$/	$db	tickets	body	1/" <<<"$want")" \
    "$(run --where tickets)"
check "--find takes the + address as it is" "jane.doe+orders@mail.example.com	$db	tickets	body	1" \
    "$(run --find JANE.DOE+orders@mail.example.com tickets)"
check "--find of the address without its + part finds nothing" 1 \
    "$(run --find jane.doe@mail.example.com tickets >/dev/null; echo $?)"

# Line ends, NUL and Ctrl-Z in values, and JSON text that writes its line ends as "\n": a dump writes
# them all as a backslash and a letter, and the letter starts no address, so the dump read with --text
# gives what the table gives.
admin "USE $db; CREATE TABLE notes (id INT PRIMARY KEY, body TEXT); $(cat <<'SQL'
INSERT INTO notes VALUES (1, 'Hi,\nann@example.com'), (2, 'x\rhal@example.com'),
    (3, 'x\0ida@example.com lee@example.com\0'), (4, 'x\Zjan@example.com'),
    (5, '{"note":"call\\nbo@example.org\\tor\\r\\nkim@example.org"}'), (6, 'x\tzoe@example.com')
SQL
)"
want='ann@example.com
hal@example.com
ida@example.com
lee@example.com
jan@example.com
bo@example.org
kim@example.org
zoe@example.com'
check "database mode: no letter of an escape or byte around an address joins it" "$want" "$(run notes)"
MYSQL_PWD=$(fact ADMIN_PASSWORD) mariadb-dump --no-defaults --protocol=tcp -h 127.0.0.1 -P "$port" \
    -u "$(fact ADMIN_USER)" "$db" notes >"$dir/notes.sql"
check "the dump writes a line end as \\n and a value's \\n as \\\\n" 2 \
    "$(grep -c -F -e "'Hi,\nann@example.com'" -e 'call\\nbo@example.org' "$dir/notes.sql")"
check "the dump through --text gives the same" "$want" "$("$tool" --text <"$dir/notes.sql")"

echo "$failures failed"
[ "$failures" -eq 0 ]
