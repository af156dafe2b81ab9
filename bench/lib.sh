# SPDX-License-Identifier: MIT
# Shared by the benchmark scripts (sourced, not run).

# median_ms RUNS COMMAND...: runs COMMAND RUNS times after one warm-up, output discarded; prints the
# median wall time in milliseconds, and every time on standard error.
median_ms() {
    local runs=$1
    shift
    "$@" >/dev/null
    local times=()
    for _ in $(seq "$runs"); do times+=("$(elapsed_ms "$@")"); done
    echo "  runs: ${times[*]} ms" >&2
    median "${times[@]}"
}

# median VALUES...: the middle one, numerically.
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

# elapsed_ms COMMAND...: the wall time of one run of COMMAND in milliseconds, output discarded.
elapsed_ms() {
    local start
    start=$(date +%s%N)
    "$@" >/dev/null
    echo $((($(date +%s%N) - start) / 1000000))
}

# ratio A B: A / B with two decimals.
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", (b > 0 ? a / b : 0) }'; }

# start_bench_server: a private test server for this run, stopped and removed on exit; fact KEY reads
# its facts.
start_bench_server() {
    bench_work=$(mktemp -d /tmp/kbench.XXXXXX)
    export KESTRELMOOR_TEST_DB_FACTS=$bench_work/facts.env
    trap 'scripts/test-db stop || true; rm -rf -- "$bench_work"' EXIT
    scripts/test-db start
}
fact() { sed -n "s/^$1=//p" "$KESTRELMOOR_TEST_DB_FACTS" | head -n 1; }

# load_contact_table DATABASE ROWS: creates DATABASE with the benchmarks' contact table `t` of ROWS
# realistic rows (bench/corpus.h, about one in three holding an address), with room for the whole table
# in the server's memory, so that no reader waits for the disk. Needs the caller's `admin` (SQL as the
# administrator, with LOCAL INFILE) and builds the row generator in $bench_work.
load_contact_table() {
    local database=$1 rows=$2
    c++ -std=c++20 -O2 -o "$bench_work/corpus_gen" bench/corpus_gen.cpp
    { "$bench_work/corpus_gen" 250 || true; } | head -n "$rows" >"$bench_work/rows.tsv"
    admin -e "SET GLOBAL innodb_buffer_pool_size = 512 * 1024 * 1024;
              CREATE DATABASE $database;
              CREATE TABLE $database.t (id INT PRIMARY KEY, first_name VARCHAR(40), last_name VARCHAR(40),
                  city VARCHAR(40), phone VARCHAR(40), note TEXT, email VARCHAR(120), visited DATE);
              LOAD DATA LOCAL INFILE '$bench_work/rows.tsv' INTO TABLE $database.t;"
    rm -f -- "$bench_work/rows.tsv"
}
