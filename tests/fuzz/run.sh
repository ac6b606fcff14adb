#!/bin/sh
# Builds every libFuzzer target of the parsers that read outside input with clang
# (address and undefined-behaviour sanitizers), replays the committed crash
# regressions, then runs each target for the given number of seconds from its
# committed seed corpus.
#   tests/fuzz/run.sh 15             every target for 15 s
#   tests/fuzz/run.sh 60 monitor     one target
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
targets="intel_hex program_image zorlink_number zorlink_script frame_assembler monitor reset_handshake text_loader"

usage() {
    echo "usage: $0 SECONDS [TARGET...]"
    echo "Builds the fuzz targets with clang++ and runs each for SECONDS seconds."
    echo "Targets: $targets"
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
[ $# -gt 0 ] && targets="$*"

work=${ZORKIT_FUZZ_DIR:-$root/build-fuzz}
mkdir -p "$work/include"
# The library's headers are included as zorkit/<folder>/...
ln -sfn "$root" "$work/include/zorkit"
command -v clang++ >/dev/null || { echo "$0: clang++ is not installed" >&2; exit 1; }
flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root -I$work/include"

sources() { # target
    case "$1" in
        intel_hex) echo "$root/tools/common/IntelHex.cpp $root/tools/common/Numbers.cpp $root/tools/common/SystemReason.cpp $root/tools/common/Wording.cpp" ;;
        program_image) echo "$root/link/ProgramImage.cpp" ;;
        zorlink_number) echo "$root/tools/common/Numbers.cpp" ;;
        zorlink_script) echo "$root/tools/zorlink/ScriptLine.cpp" ;;
        frame_assembler) echo "$root/sim/FrameAssembler.cpp" ;;
        # The board without its lines: everything in sim/ but the pseudo-terminal side
        # (the board's line and the uart's), and the disassembler its instruction trace
        # speaks through.
        monitor) find "$root/sim" "$root/disasm" -name '*.cpp' ! -path '*/sim/devices/*' ! -name VirtualBoard.cpp ! -name UartLine.cpp ! -name WireLog.cpp | sort ;;
        reset_handshake) echo "$root/link/ResetHandshake.cpp" ;;
        # The text buffer without its views, on the platform core.
        text_loader) ls "$root"/editor/*.cpp "$root"/platform/core/*.cpp | grep -v '/editor/TextView\|/editor/UIEditView' ;;
        *) echo "$0: unknown target '$1'" >&2; return 1 ;;
    esac
}

# The text buffer is fuzzed without the views' window code, so the sanitizer's check
# of calls through a view (which wants the view's type information) stays out.
extra_flags() { [ "$1" = text_loader ] && echo "-fno-sanitize=vptr" || true; }
# The text loader reads files up to its 32 KB blocks and past them; the rest take short input.
max_len() { [ "$1" = text_loader ] && echo 70000 || echo 4096; }
# The text loader writes and flushes two files a run; memory-backed storage keeps that cheap.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi

for target in $targets; do
    files=$(sources "$target")
    echo "zor fuzz: $target for $seconds s"
    # shellcheck disable=SC2086
    clang++ $flags $(extra_flags "$target") -o "$work/${target}_fuzzer" "$here/${target}_fuzzer.cpp" $files -lpthread
    # Crashes found earlier must stay fixed.
    if [ -d "$here/regressions/$target" ]; then
        "$work/${target}_fuzzer" "$here/regressions/$target"/* >"$work/$target.log" 2>&1 ||
            { tail -n 40 "$work/$target.log" >&2; echo "$0: a $target regression fails again" >&2; exit 1; }
    fi
    # New inputs go to a corpus of the build; the committed seeds stay as they are.
    mkdir -p "$work/corpus/$target"
    if ! "$work/${target}_fuzzer" -max_total_time="$seconds" -max_len="$(max_len "$target")" -print_final_stats=1 \
        -artifact_prefix="$work/$target-" "$work/corpus/$target" "$here/corpus/$target" >"$work/$target.log" 2>&1; then
        tail -n 40 "$work/$target.log" >&2
        echo "$0: $target failed; the input is in $work/$target-*" >&2
        exit 1
    fi
    grep -E '^stat::(number_of_executed_units|new_units_added)' "$work/$target.log"
done
