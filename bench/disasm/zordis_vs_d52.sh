#!/bin/sh
# Times zordis and d52 listing the same 64 KB image, each as a whole process writing
# its listing to a file; zordis --asm traces the code and writes assembler source,
# as d52 does. Usage: zordis_vs_d52.sh ZORDIS D52 WORKDIR
set -eu
if [ $# -ne 3 ]; then
    echo "usage: $0 ZORDIS D52 WORKDIR" >&2
    exit 2
fi
zordis=$1
d52=$2
mkdir -p "$3"
cd "$3"
# d52 wants a name ending in .bin and writes image.d52 beside it.
[ -f image.bin ] || head -c 65536 /dev/urandom > image.bin
hyperfine --warmup 10 --shell=none --output ./listing.out \
    --command-name "zordis 64 KB" "$zordis image.bin" \
    --command-name "zordis --asm 64 KB" "$zordis --asm image.bin" \
    --command-name "d52 64 KB" "$d52 -b image" \
    --command-name "d52 -d 64 KB (bytes in comments)" "$d52 -b -d image"
