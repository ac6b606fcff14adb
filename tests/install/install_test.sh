#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and uses it as a host would: every
# installed header compiles on its own, an outside project builds with find_package and
# with pkg-config, and the installed tools run without LD_LIBRARY_PATH. WITH_SDL (1 or
# 0) says whether the library was built with the on-screen backend.
set -euo pipefail
BUILD=$1 SOURCE=$2 WITH_SDL=${3:-0}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
PREFIX=$WORK/prefix
cmake --install "$BUILD" --prefix "$PREFIX" >/dev/null
unset LD_LIBRARY_PATH

# Headers live only under include/zorkit, and none of the library's folders is a root.
for root in platform link module disasm graph editor grid dialogs; do
  if [ -e "$PREFIX/include/$root" ]; then echo "include/$root is a top-level include root"; exit 1; fi
done
if find "$PREFIX/include" -path '*/internal/*' | grep -q .; then echo "internal headers were installed"; exit 1; fi
count=0
while IFS= read -r header; do
  relative=${header#"$PREFIX/include/"}
  if ! echo "#include <$relative>" | c++ -std=c++17 -Wall -Wextra -Werror -fsyntax-only \
      -I"$PREFIX/include" -x c++ - 2>"$WORK/header.err"; then
    echo "installed header $relative does not compile on its own:"; cat "$WORK/header.err"; exit 1
  fi
  count=$((count + 1))
done < <(find "$PREFIX/include" -name '*.h' | sort)
echo "$count installed headers compile on their own"

# A package built with the on-screen backend ships its header, and its consumers are
# built to fail unless <zorkit/zorkit.h> declares it.
ONSCREEN=$PREFIX/include/zorkit/platform/sdl/OnScreen.h
EXPECT_SDL=
if [ "$WITH_SDL" = 1 ]; then
  [ -e "$ONSCREEN" ] || { echo "OnScreen.h was not installed"; exit 1; }
  EXPECT_SDL=-DZORKIT_CONSUMER_EXPECTS_SDL=1
elif [ -e "$ONSCREEN" ]; then
  echo "OnScreen.h was installed by a build without the on-screen backend"; exit 1
fi

cmake -S "$SOURCE/tests/install/consumer" -B "$WORK/build" -DCMAKE_PREFIX_PATH="$PREFIX" \
  -DCMAKE_CXX_FLAGS="$EXPECT_SDL" >/dev/null
cmake --build "$WORK/build" >/dev/null
ZORKIT_LOG_DIR="$WORK" "$WORK/build/consumer" | sed 's/^/cmake /'

PKG_CONFIG_PATH=$(dirname "$(find "$PREFIX" -name zorkit.pc)")
export PKG_CONFIG_PATH
c++ -std=c++17 $EXPECT_SDL "$SOURCE/tests/install/consumer/main.cpp" -o "$WORK/pkgconfig-consumer" \
  $(pkg-config --cflags --libs zorkit)
ZORKIT_LOG_DIR="$WORK" "$WORK/pkgconfig-consumer" | sed 's/^/pkg-config /'

for tool in zorlink zorsim zordis zorstudio listingshot; do
  "$PREFIX/bin/$tool" --help >/dev/null || { echo "installed $tool --help failed"; exit 1; }
done
echo "installed tools run"
