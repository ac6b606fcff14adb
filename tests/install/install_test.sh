#!/usr/bin/env bash
# Installs the built tree into a scratch prefix and builds an outside project
# against it with find_package(zorkit).
set -euo pipefail
BUILD=$1 SOURCE=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
cmake --install "$BUILD" --prefix "$WORK/prefix" >/dev/null
cmake -S "$SOURCE/tests/install/consumer" -B "$WORK/build" -DCMAKE_PREFIX_PATH="$WORK/prefix" >/dev/null
cmake --build "$WORK/build" >/dev/null
ZORKIT_LOG_DIR="$WORK" "$WORK/build/consumer"
