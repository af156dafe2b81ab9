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

echo "$failures failed"
[ "$failures" -eq 0 ]
