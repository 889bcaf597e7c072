#!/usr/bin/env bash
# scripts/fuzz must not pass by mistake: a target that crashes makes it exit 1 and name the
# input that crashed it.
# Usage: fuzz_script_test.sh SOURCE-FOLDER
set -uo pipefail
cd "$1"
output=$(scripts/fuzz 5 PlantedCrash 2>&1)
status=$?
fail() { echo "FAIL: $*"; echo "$output"; exit 1; }
[ "$status" -eq 1 ] || fail "scripts/fuzz exited $status on a planted crash"
echo "$output" | grep -q "orvane fuzz: PlantedCrash found build/fuzz/crashes/.*/PlantedCrash-crash-" ||
    fail "the crashing input is not named"
echo "1 passed, 0 failed"
