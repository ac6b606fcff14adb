#!/bin/sh
# Runs the short soak with one fault injected; passes when the run ends with status 1
# and names that fault, and no sanitizer reported anything besides.
#   soak_must_fail.sh SOAK FAULT REASON
soak=$1 fault=$2 reason=$3
out=$("$soak" --inject "$fault" 20000 30 2>&1)
status=$?
printf '%s\n' "$out"
[ "$status" -eq 1 ] || { echo "expected exit status 1 from the $fault run, got $status"; exit 1; }
printf '%s\n' "$out" | grep -q "FAILED: .*$reason" || { echo "the run does not say: $reason"; exit 1; }
if printf '%s\n' "$out" | grep -q "Sanitizer"; then echo "a sanitizer reported"; exit 1; fi
echo "caught: $fault"
