#!/usr/bin/env bash
# orvane keeps no data and talks to no one: a whole headless session, snapshots included,
# opens no socket and creates or writes no file but the snapshots it was asked for (each
# written beside its place first, then renamed into it).
# Usage: strace_test.sh ORVANE-BINARY
set -euo pipefail
orvane=$1
if ! command -v strace >/dev/null; then
    echo "SKIP: strace is missing (scripts/setup installs it)"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf 'tap wage\ntype 15\ntap price\ntype 100\nsnapshot %s/asked.png\ntap calculate\nprint result\ntap clear\n' \
    "$work" >"$work/script"
# LeakSanitizer cannot work under ptrace; every other test checks for leaks.
ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0" strace -f -qq -o "$work/trace" \
    -e trace=socket,connect,open,openat,creat,mkdir,mkdirat,unlink,unlinkat,rename,renameat,renameat2,truncate \
    "$orvane" --ui headless --script "$work/script" --snapshot "$work/final.png" >"$work/out"

[ "$(cat "$work/out")" = 7 ] || { echo "FAIL: the session printed '$(cat "$work/out")'"; exit 1; }
unexpected=$(grep -E 'socket\(|connect\(|O_WRONLY|O_RDWR|O_CREAT|creat\(|mkdir|unlink|rename|truncate' "$work/trace" |
    grep -v -E "\"$work/(asked|final)\.png(\.[0-9]+\.partial)?\"" || true)
if [ -n "$unexpected" ]; then
    echo "FAIL: orvane reached beyond its snapshots:"
    echo "$unexpected"
    exit 1
fi
[ -s "$work/asked.png" ] && [ -s "$work/final.png" ] || { echo "FAIL: a snapshot is missing"; exit 1; }
echo "1 passed, 0 failed"
