#!/usr/bin/env bash
# The 8051 core beside s51 on the same mixed program (mixed.asm), in instructions per
# second. Usage: bench/sim/run-cpu-bench.sh BUILD_DIR  (a Release build with
# -DZORKIT_BUILD_BENCH=ON).
set -euo pipefail
BUILD=${1:?usage: run-cpu-bench.sh BUILD_DIR}
HERE=$(cd "$(dirname "$0")" && pwd)
"$BUILD/bench/sim/zorkit_cpu_bench"
if ! command -v s51 >/dev/null; then
  echo "s51 (Debian sdcc-ucsim) is not installed: no comparison"
  exit 0
fi
# s51 reads commands while it simulates: run to the A5 at the end, then wait for its
# report before asking for the instruction count.
END=$(grep -o ':[0-9A-F]*$' "$HERE/mixed.hex" | tail -n 2 | head -n 1 | python3 -c '
import sys; r = sys.stdin.read().strip()[1:]
print("0x%04x" % (int(r[2:6], 16) + int(r[0:2], 16) - 1))')
OUT=$(mktemp)
trap 'rm -f "$OUT"' EXIT
{
  printf 'break %s\nrun\n' "$END"
  until grep -q 'Host usage' "$OUT"; do sleep 0.2; done
  printf 'state\nquit\n'
  until grep -q 'Inst=' "$OUT"; do sleep 0.2; done
} | s51 -t 8051 "$HERE/mixed.hex" >"$OUT" 2>&1
SECONDS_USED=$(grep -o 'Host usage: [0-9.]*' "$OUT" | grep -o '[0-9.]*$')
INSTRUCTIONS=$(grep -o 'Inst= [0-9]*' "$OUT" | grep -o '[0-9]*$')
python3 -c "print('s51 (host CPU time): %d instructions in %.3f s = %.2fM instr/s' % ($INSTRUCTIONS, $SECONDS_USED, $INSTRUCTIONS / $SECONDS_USED / 1e6))"
