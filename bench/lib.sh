# SPDX-License-Identifier: MIT
# Shared by the benchmark scripts (sourced, not run).

# median_ms RUNS COMMAND...: runs COMMAND RUNS times after one warm-up, output discarded; prints the
# median wall time in milliseconds, and every time on standard error.
median_ms() {
    local runs=$1
    shift
    "$@" >/dev/null
    local times=() start end
    for _ in $(seq "$runs"); do
        start=$(date +%s%N)
        "$@" >/dev/null
        end=$(date +%s%N)
        times+=($(((end - start) / 1000000)))
    done
    echo "  runs: ${times[*]} ms" >&2
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
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
