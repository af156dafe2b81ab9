#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# kestrelmoor-extract --text end to end: real files, standard input, failures and their exit status.
set -u
tool=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
source "$(dirname "$0")/../support/check.sh"

printf 'id\tname\temail\n1\tJohn\t<John@Example.com>\n2\tMary\tmary@example.org, john@example.COM\n3\tnone\tn/a\n' > "$dir/a.tsv"
printf 'Write to support@shop.example. Or (sales@shop.example)\r\nJOHN@EXAMPLE.COM again\nlast line without feed: tom@x.io' > "$dir/b.txt"

out=$("$tool" --text "$dir/a.tsv" "$dir/b.txt"); rc=$?
check "two files share one run" "John@Example.com
mary@example.org
support@shop.example
sales@shop.example
tom@x.io" "$out"
check "exit status 0" 0 "$rc"

out=$(cat "$dir/a.tsv" | "$tool" --text)
check "standard input when no file is named" "John@Example.com
mary@example.org" "$out"

out=$(printf 'a@b.co\n' | "$tool" --text "$dir/a.tsv" - )
check "dash reads standard input in its turn" "John@Example.com
mary@example.org
a@b.co" "$out"

out=$("$tool" --text "$dir/missing.txt" "$dir/a.tsv" 2>"$dir/err"); rc=$?
check "a missing file does not stop the others" "John@Example.com
mary@example.org" "$out"
check "a missing file makes the status 1" 1 "$rc"
check "a missing file is named on standard error" 1 "$(grep -c 'missing.txt: No such file or directory' "$dir/err")"

: > "$dir/empty"
check "an empty file gives nothing" "" "$("$tool" --text "$dir/empty")"

"$tool" "$dir/a.tsv" --text --comma -o "$dir/out.csv" "$dir/b.txt"; rc=$?
printf 'John@Example.com,mary@example.org,support@shop.example,sales@shop.example,tom@x.io,\r\n' >"$dir/want.csv"
cmp -s "$dir/want.csv" "$dir/out.csv"; check "--text anywhere, then --comma and -o are options, not files" "0 0" "$? $rc"
"$tool" --text -o "$dir/out.csv" "$dir/missing.txt" "$dir/a.tsv" 2>/dev/null; rc=$?
cmp -s "$dir/want.csv" "$dir/out.csv"; check "a failed text run leaves the -o file as it was" "0 1" "$? $rc"

head -c 3000000 /dev/urandom > "$dir/random.bin"
"$tool" --text "$dir/random.bin" > /dev/null; rc=$?
check "random bytes are read without failure" 0 "$rc"

{ head -c 20000000 /dev/zero | tr '\0' 'x'; printf ' deep@inside.example '; head -c 20000000 /dev/zero; } > "$dir/long-line"
check "a 40 MB line is one row" "deep@inside.example" "$("$tool" --text "$dir/long-line")"

{ head -c 1048575 /dev/zero | tr '\0' ' '; printf '\\nann@example.com\\Zjan@example.com'; } > "$dir/escape-at-cut"
check "an escaped line end split across two reads is still one" "ann@example.com
jan@example.com" "$("$tool" --text "$dir/escape-at-cut")"

for i in $(seq 1 20000); do echo "user$i@example.com"; done > "$dir/many"
"$tool" --text "$dir/many" > /dev/full 2>"$dir/err"; rc=$?
check "a full disk makes the status 1" 1 "$rc"
check "a full disk is reported" 1 "$(grep -c 'cannot write the addresses: No space left on device' "$dir/err")"

"$tool" --help > "$dir/help"; rc=$?
check "--help succeeds" 0 "$rc"
grep -q -- '--text \[OPTION...\] \[FILE...\]' "$dir/help"; check "--help explains --text" 0 "$?"
"$tool" --no-such-mode 2>/dev/null; rc=$?
check "an unknown mode is a usage error" 2 "$rc"

echo "$failures failed"
[ "$failures" -eq 0 ]
