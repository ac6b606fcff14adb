#!/bin/sh
# Builds every libFuzzer target of the parsers that read outside input with clang
# (address and undefined-behaviour sanitizers), replays the committed crash
# regressions, then runs each target for the given number of seconds from its
# committed seed corpus. The text loader's fuzzer runs last, through its own script.
#   tests/fuzz/run.sh 15             every target for 15 s
#   tests/fuzz/run.sh 60 monitor     one target
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
targets="intel_hex program_image zorlink_number zorlink_script frame_assembler monitor reset_handshake"

usage() {
    echo "usage: $0 SECONDS [TARGET...]"
    echo "Builds the fuzz targets with clang++ and runs each for SECONDS seconds."
    echo "Targets: $targets text_loader"
    echo "Builds, corpora and crash files go to \$ZORKIT_FUZZ_DIR (default: build-fuzz)."
}

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
    usage
    exit 0
fi
if [ $# -lt 1 ]; then
    usage >&2
    exit 2
fi
case "$1" in
    ''|*[!0-9]*) echo "$0: SECONDS must be a whole number, not '$1'" >&2; exit 2 ;;
esac
seconds=$1
shift
[ $# -gt 0 ] && targets="$*" || targets="$targets text_loader"

work=${ZORKIT_FUZZ_DIR:-$root/build-fuzz}
mkdir -p "$work/include"
# The library's headers are included as zorkit/<folder>/...
ln -sfn "$root" "$work/include/zorkit"
command -v clang++ >/dev/null || { echo "$0: clang++ is not installed" >&2; exit 1; }
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root -I$work/include"

sources() { # target
    case "$1" in
        intel_hex) echo "$root/tools/common/IntelHex.cpp" ;;
        program_image) echo "$root/link/ProgramImage.cpp" ;;
        zorlink_number) echo "$root/tools/common/Numbers.cpp" ;;
        zorlink_script) echo "$root/tools/zorlink/ScriptLine.cpp" ;;
        frame_assembler) echo "$root/sim/FrameAssembler.cpp" ;;
        # The board without its line: everything in sim/ but the pseudo-terminal side.
        monitor) find "$root/sim" -name '*.cpp' ! -name VirtualBoard.cpp ! -name WireLog.cpp | sort ;;
        reset_handshake) echo "$root/link/ResetHandshake.cpp" ;;
        *) echo "$0: unknown target '$1'" >&2; return 1 ;;
    esac
}

for target in $targets; do
    if [ "$target" = text_loader ]; then
        echo "zor fuzz: text_loader for $seconds s"
        ZORKIT_FUZZ_DIR="$work/text_loader" "$root/tests/editor/fuzz/run.sh" "$seconds"
        continue
    fi
    files=$(sources "$target")
    echo "zor fuzz: $target for $seconds s"
    # shellcheck disable=SC2086
    clang++ $flags -o "$work/${target}_fuzzer" "$here/${target}_fuzzer.cpp" $files -lpthread
    # Crashes found earlier must stay fixed.
    if [ -d "$here/regressions/$target" ]; then
        "$work/${target}_fuzzer" "$here/regressions/$target"/* >"$work/$target.log" 2>&1 ||
            { tail -n 40 "$work/$target.log" >&2; echo "$0: a $target regression fails again" >&2; exit 1; }
    fi
    # New inputs go to a corpus of the build; the committed seeds stay as they are.
    mkdir -p "$work/corpus/$target"
    if ! "$work/${target}_fuzzer" -max_total_time="$seconds" -max_len=4096 -print_final_stats=1 \
        -artifact_prefix="$work/$target-" "$work/corpus/$target" "$here/corpus/$target" >"$work/$target.log" 2>&1; then
        tail -n 40 "$work/$target.log" >&2
        echo "$0: $target failed; the input is in $work/$target-*" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$work/$target.log"
done
