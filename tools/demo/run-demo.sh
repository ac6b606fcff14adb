#!/usr/bin/env bash
# The demo: a virtual experiment box on a pseudo-terminal and a scripted zorlink
# session against it, narrated on the terminal.
set -euo pipefail
BUILD=${1:?usage: run-demo.sh BUILD_DIR}
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
cd "$ROOT"
LOG_DIR=$(mktemp -d)
FIFO="$LOG_DIR/zorsim.out"
mkfifo "$FIFO"
"$BUILD/tools/zorsim/zorsim" --stop-delay 300 >"$FIFO" 2>"$LOG_DIR/zorsim.err" &
SIM=$!
trap 'kill $SIM 2>/dev/null || true; wait $SIM 2>/dev/null || true; rm -rf "$LOG_DIR"' EXIT
exec 3<"$FIFO"
read -r DEVICE <&3
echo "== virtual experiment box (8051) listening on $DEVICE"
echo
ZORLINK=("$BUILD/tools/zorlink/zorlink" -d "$DEVICE" --log-dir "$LOG_DIR")
echo "   It runs tools/demo/sort.asm, which sorts a table in internal RAM (30H-3FH),"
echo "   to a breakpoint. The register image reads: A B PSW SP DPL DPH R0-R7 PCL PCH"
echo "   P0-P3 IE IP TMOD TCON TL0 TH0."
echo "\$ zorlink -d $DEVICE --echo script tools/demo/demo-session.zls"
"${ZORLINK[@]}" --echo script tools/demo/demo-session.zls
echo
echo "== the link's communication log ($(wc -l < "$LOG_DIR/ZORCOMM.LOG") lines, GBK), last lines:"
tail -n 8 "$LOG_DIR/ZORCOMM.LOG" | iconv -f GBK -t UTF-8
if [ -x "$ROOT/tools/demo/run-control-demo.sh" ]; then
  echo
  "$ROOT/tools/demo/run-control-demo.sh" "$BUILD" "$DEVICE" "$LOG_DIR"
fi
echo
ZORSTUDIO="$BUILD/tools/zorstudio/zorstudio"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "== the board's devices on screen: the 7-segment counter lab runs on a box with"
  echo "   a panel of its own (click the switches, hold keys; close the window to go on)"
  PANEL_OUT="$LOG_DIR/panel.out"
  mkfifo "$PANEL_OUT"
  "$BUILD/tools/zorsim/zorsim" --panel >"$PANEL_OUT" 2>"$LOG_DIR/panel.err" &
  PANEL_SIM=$!
  exec 4<"$PANEL_OUT"
  read -r PANEL_DEVICE <&4
  echo "\$ zorsim --panel; zorlink -d $PANEL_DEVICE load tools/zorsim/labs/seg7_counter.ihx; ... run 0x0000"
  "$BUILD/tools/zorlink/zorlink" -d "$PANEL_DEVICE" --log-dir "$LOG_DIR" load tools/zorsim/labs/seg7_counter.ihx
  "$BUILD/tools/zorlink/zorlink" -d "$PANEL_DEVICE" --log-dir "$LOG_DIR" run 0x0000
  wait $PANEL_SIM || true
  echo
  echo "== zorstudio: the main window on its own virtual board (close it to go on)"
  echo "   Build, Download, a click in the listing's margin for a breakpoint, F5 to run to it;"
  echo "   the experiment panel below runs a temperature control; beside it the board's"
  echo "   devices and the program's serial port"
  echo "\$ zorstudio"
  ZORKIT_LOG_DIR="$LOG_DIR" "$ZORSTUDIO"
else
  SHOTS="$BUILD/zorstudio-tour"
  echo "== zorstudio without a display: its tour through the main window, a picture a stage:"
  echo "   the sorting program to its breakpoint, a temperature run, then the C sample squares.c"
  echo "   stopped at a line breakpoint with its call stack and watches, and one step over"
  echo "\$ zorstudio --tour $SHOTS --shots --samples 150"
  ZORKIT_LOG_DIR="$LOG_DIR" "$ZORSTUDIO" --tour "$SHOTS" --shots --samples 150
  echo
  echo "== the pictures of the window are in $SHOTS"
fi
echo
LISTING="$BUILD/listing-demo.png"
echo "== a disassembly listing in a text view: the arrow on the current line, a breakpoint in red"
echo "\$ listingshot $LISTING"
"$BUILD/tools/listingshot/listingshot" "$LISTING"
echo "== the picture of the listing is $LISTING"
