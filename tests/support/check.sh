# SPDX-License-Identifier: MIT
# The shell tests' one comparison: prints "ok" or "FAIL" with a diff, and counts the failures.
failures=0
check() { # name, expected, actual
    if [ "$2" == "$3" ]; then echo "ok   $1"; else
        echo "FAIL $1"
        diff <(printf '%s\n' "$2") <(printf '%s\n' "$3")
        failures=$((failures + 1))
    fi
}
