#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract --jobs against the private test server (scripts/test-db): with several
# connections the output, its order, the failures and the --where counts are those of one, also with
# a table dropped during the run and one that fails part-way; a user allowed two connections gets one
# note and the same output; the option's values.
# Usage: jobs_test.sh TOOL SOURCE_DIR
set -u
tool=$1
facts=${KESTRELMOOR_TEST_DB_FACTS:-$2/build/test-db/facts.env}
db_prefix=kestrel_jobs
limited=kjobs_$$
cleanup_more() { admin "DROP USER IF EXISTS '$limited'@'127.0.0.1'" || true; }
# shellcheck source=server_session.sh
source "$(dirname "$0")/server_session.sh"
unset MYSQL_PWD MYSQL_HOST MYSQL_TCP_PORT MYSQL_UNIX_PORT
export XDG_CONFIG_HOME=$dir/config HOME=$dir

# Two first tables slow to answer, as from a server far away, after which the run reads ahead; 30 tables
# sharing addresses in other letter cases and repeating their own, every seventh one big
# enough that the small ones after it end first; a view that fails at its 1500th row; a table that
# goes missing.
sql="CREATE DATABASE $db; USE $db;"
for t in $(seq 1 30); do
    rows=$(( t % 7 == 1 ? 4000 : 10 ))
    sql+="CREATE TABLE t$t (id INT, a VARCHAR(80), b TEXT);
          INSERT INTO t$t SELECT seq, CONCAT('u', seq MOD 23, '@T$(( t % 4 )).example'),
              CONCAT('own$t@x.example U', seq MOD 11, '@t1.EXAMPLE, again own$t@x.example') FROM seq_1_to_$rows;"
done
sql+="CREATE VIEW half AS SELECT seq, IF(seq = 1500, (SELECT 1 UNION SELECT 2), CONCAT('h', seq MOD 9,
          '@half.example')) AS e FROM seq_1_to_3000;
      CREATE TABLE gone (e TEXT); INSERT INTO gone VALUES ('gone@x.example');
      CREATE VIEW lag AS SELECT SLEEP(0.05) AS pause, 'lag@x.example' AS e;
      CREATE VIEW lag2 AS SELECT SLEEP(0.05) AS pause;"
admin "$sql"
tables=(lag lag2 t1 t2 t3 half t4 t5 t6 t7 t8 t9 t10 t11 t12 t13 t14 t15 t16 t17 t18 t19 t20 t21 t22 t23 t24 t25 t26
        t27 t28 t29 t30)

for form in "" --where; do
    # shellcheck disable=SC2086
    run -j 1 $form "${tables[@]}" >"$dir/one" 2>"$dir/one.err"; one_rc=$?
    # shellcheck disable=SC2086
    run --jobs 4 $form "${tables[@]}" >"$dir/four" 2>"$dir/four.err"; four_rc=$?
    check "--jobs 4 ${form}: the output of --jobs 1, in its order" "$(cat "$dir/one")" "$(cat "$dir/four")"
    check "--jobs 4 ${form}: the failures of --jobs 1 and its exit status" "$(cat "$dir/one.err") $one_rc" \
        "$(cat "$dir/four.err") $four_rc"
done
check "the view fails part-way, reported once, the run goes on" "1 1 30" \
    "$(grep -c 'table `half`: Subquery returns more than 1 row' "$dir/one.err") $one_rc \
$(cut -f3 "$dir/one" | sort -u | grep -c '^t')"
check "the view's addresses before its failure are printed" "h1@half.example" \
    "$(grep -m1 -o 'h1@half.example' "$dir/one")"

# A table dropped while the run waits for slow ones before it: every connection reads one of them (a
# view is asked for alone; a name given twice is read once), so none reaches the table before the
# drop. One connection then meets it missing too.
for view in slow slow2 slow3 slow4; do
    admin "USE $db; CREATE VIEW $view AS SELECT seq, SLEEP(0.5) AS pause, 'slow@x.example' AS e FROM seq_1_to_3"
done
order=(lag lag2 slow "${tables[@]:2:20}" slow2 slow3 slow4 gone "${tables[@]:22}")
run -j 4 "${order[@]}" >"$dir/four" 2>"$dir/four.err" &
sleep 0.6
admin "USE $db; DROP TABLE gone"
wait
run -j 1 "${order[@]}" >"$dir/one" 2>"$dir/one.err"
check "a table dropped during the run: the output of one connection" "$(cat "$dir/one")" "$(cat "$dir/four")"
check "... and its failures, the dropped table's in its place" "$(cat "$dir/one.err")" "$(cat "$dir/four.err")"
check "... which names it" 1 "$(grep -c "table \`gone\`: Table '$db.gone' doesn't exist" "$dir/four.err")"

# A user allowed two connections: the run reads with those two, says so once, and fails nothing.
admin "CREATE USER '$limited'@'127.0.0.1' IDENTIFIED BY 'Limited-$$' WITH MAX_USER_CONNECTIONS 2;
       GRANT SELECT ON $db.* TO '$limited'@'127.0.0.1'"
limited_run() {
    "$tool" --no-defaults -h 127.0.0.1 -P "$port" -u "$limited" "-pLimited-$$" -D "$db" "$@"
}
limited_run -j 1 "${tables[@]}" >"$dir/one" 2>"$dir/one.err"
limited_run -j 6 "${tables[@]}" >"$dir/six" 2>"$dir/six.err"; rc=$?
check "two connections allowed: the output of one" "$(cat "$dir/one")" "$(cat "$dir/six")"
check "... one note, the failures of one, exit 1 for the view alone" "1
$(cat "$dir/one.err") 1" "$(grep -c '^kestrelmoor-extract: the server refused more connections; reading with 2$' "$dir/six.err")
$(grep -v 'refused more connections' "$dir/six.err") $rc"

# The option's values, from the command line and the program's own option file group only.
out=$(run -j 0 t1 2>&1); rc=$?
check "-j 0 is a usage error" "2 1" "$rc $(grep -c -- "--jobs: '0' is not a number of connections (1-64)" <<<"$out")"
out=$(run --jobs=65 t1 2>&1); rc=$?
check "--jobs=65 is a usage error" "2 1" "$rc $(grep -c "'65' is not a number of connections" <<<"$out")"
out=$(run --jobs=four t1 2>&1); rc=$?
check "--jobs=four is a usage error" "2 1" "$rc $(grep -c "'four' is not a number of connections" <<<"$out")"
printf '[client]\njobs=0\n[kestrelmoor-extract]\njobs=2\n' >"$dir/my.cnf"
out=$("$tool" --defaults-file="$dir/my.cnf" -h 127.0.0.1 -P "$port" -u "$user" "-p$password" -D "$db" t1 2>&1)
rc=$?
check "jobs= is read in [kestrelmoor-extract] only" "0 own1@x.example" "$rc $(grep -m1 own1 <<<"$out")"
printf '[kestrelmoor-extract]\njobs=zero\n' >"$dir/bad.cnf"
out=$("$tool" --defaults-file="$dir/bad.cnf" -h 127.0.0.1 -P "$port" -u "$user" "-p$password" t1 2>&1); rc=$?
check "a malformed jobs= is a usage error" "2 1" "$rc $(grep -c "jobs: 'zero' is not a number" <<<"$out")"

echo "$failures failed"
[ "$failures" -eq 0 ]
