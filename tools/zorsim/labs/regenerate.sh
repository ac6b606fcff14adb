#!/bin/sh
# Assembles every sample lab program into its .ihx beside it (sdas8051, sdld from Debian's sdcc).
set -e
cd "$(dirname "$0")"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for source in *.asm; do
  name=${source%.asm}
  sdas8051 -o "$scratch/$name.rel" "$source"
  sdld -i "$name.ihx" "$scratch/$name.rel" >/dev/null
done
