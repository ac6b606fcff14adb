#!/bin/sh
# Builds the text-file loading fuzzer with clang (libFuzzer, address and undefined
# behaviour sanitizers) and runs it for the given number of seconds.
#   tests/editor/fuzz/run.sh 60
set -eu

usage() {
    echo "usage: $0 SECONDS"
    echo "Builds the text buffer's load fuzzer with clang++ and runs it for SECONDS seconds."
    echo "The build and the corpus go to \$ZORKIT_FUZZ_DIR (default: build-fuzz-editor)."
}

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
    usage
    exit 0
fi
if [ $# -ne 1 ]; then
    usage >&2
    exit 2
fi
case "$1" in
    ''|*[!0-9]*) echo "$0: SECONDS must be a whole number, not '$1'" >&2; exit 2 ;;
esac
seconds=$1

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../../.." && pwd)
work=${ZORKIT_FUZZ_DIR:-$root/build-fuzz-editor}
mkdir -p "$work/corpus" "$work/include"
# The library's headers are included as zorkit/<folder>/...
ln -sfn "$root" "$work/include/zorkit"

command -v clang++ >/dev/null || { echo "$0: clang++ is not installed" >&2; exit 1; }

flags="-std=c++17 -g -O1 -fno-omit-frame-pointer -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined -I$root -I$work/include"
# shellcheck disable=SC2086
clang++ $flags -o "$work/load_fuzzer" \
    "$here/load_fuzzer.cpp" \
    "$root/editor/DeleteUpdateContext.cpp" \
    "$root/editor/InsertUpdateContext.cpp" \
    "$root/editor/LineAssembler.cpp" \
    "$root/editor/LineRecord.cpp" \
    "$root/editor/TextBuf.cpp" \
    "$root"/platform/core/*.cpp \
    -lpthread

# Seeds: the usual breaks, and breaks where a 1023-byte piece or a 32768-byte block ends.
printf 'a\r\nb' > "$work/corpus/crlf"
printf 'a\nb\rc\n\nd\r\r\n' > "$work/corpus/lone"
printf '\r\n\r\n' > "$work/corpus/empty-lines"
head -c 1023 /dev/zero | tr '\0' 'x' > "$work/corpus/piece"; printf '\r\n\r\n' >> "$work/corpus/piece"
head -c 32767 /dev/zero | tr '\0' 'y' > "$work/corpus/block"; printf '\r\nz' >> "$work/corpus/block"

# Every run writes and flushes two files; memory-backed storage keeps that cheap.
if [ -z "${TMPDIR:-}" ] && [ -d /dev/shm ] && [ -w /dev/shm ]; then
    export TMPDIR=/dev/shm
fi
exec "$work/load_fuzzer" -max_total_time="$seconds" -max_len=70000 -print_final_stats=1 \
    -artifact_prefix="$work/" "$work/corpus"
