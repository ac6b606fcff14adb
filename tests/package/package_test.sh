#!/usr/bin/env bash
# Unpacks the .deb of a build tree (made here when none is given) into a scratch
# root, without dpkg -i or root, and runs each tool's --help from there without
# LD_LIBRARY_PATH; each has its manual page when help2man is there.
#   package_test.sh BUILD_DIR [PACKAGE.deb]
set -euo pipefail
BUILD=$1 DEB=${2:-}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
if [ -z "$DEB" ]; then
  (cd "$BUILD" && cpack -G DEB -B "$WORK/out" >"$WORK/cpack.log" 2>&1) || { cat "$WORK/cpack.log"; exit 1; }
  DEB=$(ls "$WORK"/out/*.deb)
fi
echo "package: $(basename "$DEB")"
dpkg-deb --field "$DEB" Package Version Depends
ROOT="$WORK/root"
dpkg-deb -x "$DEB" "$ROOT"
for file in usr/include/zorkit/zorkit.h usr/include/zorkit/link/ZORComm.h usr/lib/pkgconfig/zorkit.pc usr/lib/cmake/zorkit/zorkitConfig.cmake; do
  [ -f "$ROOT/$file" ] || { echo "missing from the package: $file"; exit 1; }
done
dpkg-deb --field "$DEB" Depends | grep -q libcairo2 || { echo "the dependencies are not declared"; exit 1; }
# Every program the package installs, not a list that a new tool could miss.
TOOLS=$(ls "$ROOT/usr/bin")
for tool in zorlink zorsim zordis zorstudio listingshot; do
  grep -qx "$tool" <<<"$TOOLS" || { echo "the package lacks $tool"; exit 1; }
done
for tool in $TOOLS; do
  env -u LD_LIBRARY_PATH -u DISPLAY -u WAYLAND_DISPLAY LANGUAGE=en LC_ALL=C "$ROOT/usr/bin/$tool" --help >"$WORK/help" 2>&1 \
    || { echo "$tool --help failed from the unpacked package:"; cat "$WORK/help"; exit 1; }
  grep -q "^Usage: $tool" "$WORK/help" || { echo "$tool --help says no usage"; exit 1; }
  if command -v help2man >/dev/null; then
    [ -f "$ROOT/usr/share/man/man1/$tool.1.gz" ] || { echo "no manual page for $tool"; exit 1; }
    zcat "$ROOT/usr/share/man/man1/$tool.1.gz" | grep -q '^\.SH' || { echo "$tool.1 is no manual page"; exit 1; }
  fi
done
for language in zh_CN en; do
  mo=$ROOT/usr/share/locale/$language/LC_MESSAGES/zorstudio.mo
  [ -s "$mo" ] || { echo "the package lacks zorstudio's $language texts"; exit 1; }
done
echo "package ok"
