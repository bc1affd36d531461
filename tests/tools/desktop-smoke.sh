#!/bin/sh
# Starts the desktop program on a private Xvfb display with the given screen
# size, waits for a window whose title contains the given text, closes that
# window as a window manager would, and expects the program to exit with 0.
#   desktop-smoke.sh <program> <xwindow tool> <width>x<height> <title part> [screenshot.xwd]
set -u
program=$1 xwindow=$2 screen=$3 title=$4 shot=${5:-}

display=
for n in $(seq 91 140); do
  if [ ! -e /tmp/.X$n-lock ] && [ ! -e /tmp/.X11-unix/X$n ]; then display=:$n; break; fi
done
[ -n "$display" ] || { echo "no free display number"; exit 1; }

Xvfb "$display" -screen 0 "${screen}x24" -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; wait $xvfb 2>/dev/null' EXIT
export DISPLAY=$display QT_QPA_PLATFORM=xcb
for i in $(seq 1 100); do
  [ -e /tmp/.X11-unix/X${display#:} ] && break
  sleep 0.05
done

"$program" &
app=$!
if ! "$xwindow" wait "$title" 20000; then
  kill $app 2>/dev/null; wait $app; exit 1
fi
sleep 0.5  # let the window finish painting
if [ -n "$shot" ] && command -v xwd >/dev/null; then xwd -root -silent -display "$display" >"$shot"; fi
"$xwindow" close "$title" 5000 || { kill $app; wait $app; exit 1; }

# The program must end by itself within a few seconds.
for i in $(seq 1 100); do
  kill -0 $app 2>/dev/null || break
  sleep 0.05
done
if kill -0 $app 2>/dev/null; then echo "the program did not end"; kill $app; wait $app; exit 1; fi
wait $app
code=$?
echo "exit code $code"
[ "$code" -eq 0 ]
