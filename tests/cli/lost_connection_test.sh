#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract against the private test server (scripts/test-db) when the server kills the
# connection reading a slow view: with one connection and with four, that view alone fails, reported
# once; every other table is read and the output is that of a run without the kill, less the addresses
# only the view holds.
# Usage: lost_connection_test.sh TOOL SOURCE_DIR
set -u
tool=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_lost
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export XDG_CONFIG_HOME=$dir/config HOME=$dir

# Two first tables slow to answer, as from a server far away, after which the run reads ahead; 40
# tables sharing addresses in other letter cases; a view that takes 5 s, long enough for the kill on a busy
# machine.
sql="CREATE DATABASE $db; USE $db;
     CREATE VIEW lag AS SELECT SLEEP(0.05) AS pause, 'lag@x.example' AS e;
     CREATE VIEW lag2 AS SELECT SLEEP(0.05) AS pause;
     CREATE VIEW slow AS SELECT seq, SLEEP(0.25) AS pause, CONCAT('v', seq, '@only.example') AS e
         FROM seq_1_to_20;"
tables=(lag lag2)
for t in $(seq 1 40); do
    sql+="CREATE TABLE t$t (id INT, a VARCHAR(80));
          INSERT INTO t$t SELECT seq, CONCAT('u', seq MOD 23, '@T$(( t % 4 )).example x$t@Y.example')
              FROM seq_1_to_$(( t % 10 == 0 ? 3000 : 50 ));"
    tables+=("t$t")
    [ "$t" -eq 20 ] && tables+=(slow)
done
admin "$sql"

# The id of the connection running a statement on the view, once it has run for a moment.
reader_of_slow() {
    local id=""
    for _ in $(seq 1 100); do
        id=$(admin "SELECT ID FROM information_schema.PROCESSLIST WHERE INFO LIKE '%\`slow\`%' AND TIME >= 0
                    AND ID <> CONNECTION_ID() LIMIT 1")
        [ -n "$id" ] && break
        sleep 0.05
    done
    echo "$id"
}

for jobs in 1 4; do
    run -j "$jobs" "${tables[@]}" >"$dir/plain" 2>"$dir/plain.err"
    run -j "$jobs" "${tables[@]}" >"$dir/killed" 2>"$dir/killed.err" &
    pid=$!
    id=$(reader_of_slow)
    sleep 0.3
    [ -n "$id" ] && admin "KILL CONNECTION $id"
    wait "$pid"; rc=$?
    check "-j $jobs: the view's reader was found and killed" 1 "$([ -n "$id" ] && echo 1)"
    check "-j $jobs: the output of a run without the kill, less the view's own addresses" \
        "$(grep -v '@only.example' "$dir/plain")" "$(grep -v '@only.example' "$dir/killed")"
    check "-j $jobs: one failure, the view's, and exit 1" "1 1 1" \
        "$(wc -l <"$dir/killed.err") $(grep -c 'table `slow`: .*\(Lost connection\|killed\|gone away\)' "$dir/killed.err") $rc"
    check "-j $jobs: the plain run fails nothing" "0" "$(wc -l <"$dir/plain.err")"
done

echo "$failures failed"
[ "$failures" -eq 0 ]
