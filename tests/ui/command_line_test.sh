#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The window program started from a shell without a display: --help and --version answer, a run that
# would open the window says why it cannot in one line and exits 1 (not Qt's abort), and arguments,
# Qt's own options among them, are refused before any window opens.
# Usage: command_line_test.sh PROGRAM
set -u
program=$1
source "$(dirname "$0")/../support/check.sh"
headless() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" "$@"; }

out=$(headless --version 2>&1); rc=$?
check "--version without a display" "0 kestrelmoor (Kestrelmoor) $(sed -n 's/^project(Kestrelmoor VERSION \([0-9.]*\).*/\1/p' "$(dirname "$0")/../../CMakeLists.txt")" "$rc $out"
out=$(headless --help 2>/dev/null); rc=$?
check "--help without a display" "0 Usage: kestrelmoor [--help | --version]" "$rc $(head -n 1 <<<"$out")"
for argument in --help --version; do # a full disk is a write error, as for GNU programs
    out=$(headless "$argument" 2>&1 >/dev/full); rc=$?
    check "$argument onto a full disk" "1 kestrelmoor: write error: No space left on device" "$rc $out"
done

out=$(headless 2>&1); rc=$?
check "no display: one line, exit 1" "1 kestrelmoor: cannot open the window: no display (DISPLAY is not set)" "$rc $out"
# A display that does not answer: a socket-less number, so nothing on this machine can be reached.
out=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:7931 "$program" 2>&1); rc=$?
check "an unreachable display: one line, exit 1" "1 1" "$rc $(wc -l <<<"$out")"

for argument in -reverse -style=fusion --reverse stray; do
    out=$(QT_QPA_PLATFORM=offscreen timeout 10 "$program" "$argument" 2>&1); rc=$?
    check "$argument is refused before the window opens" "2 Try 'kestrelmoor --help' for more information." \
        "$rc $(tail -n 1 <<<"$out")"
done

[ "$failures" -eq 0 ] || { echo "$failures failed"; exit 1; }
