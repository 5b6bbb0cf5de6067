#!/usr/bin/env bash
# Starts the real program under a virtual display, waits until the window shows its results,
# checks the picture, presses Esc and expects the program to end with status 0.
# Usage: window_end_to_end.sh PROGRAM CHECKER SCREENSHOT
set -u
program=$1 checker=$2 shot=$3
if [ -z "${INSIDE_XVFB:-}" ]; then
  INSIDE_XVFB=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
unset QT_QPA_PLATFORM

"$program" &
pid=$!
window=""
for _ in $(seq 1 100); do
  window=$(xdotool search --name "Quorin-Rotary" 2>/dev/null | head -n 1)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window never appeared"; kill "$pid"; exit 1; }
position=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p')

seen=""
for _ in $(seq 1 120); do
  import -window root "$shot"
  if "$checker" "$shot" $position >"$shot.log"; then seen=yes; break; fi
  sleep 0.25
done
[ -n "$seen" ] || { echo "the results never appeared:"; cat "$shot.log"; kill "$pid"; exit 1; }

xdotool key Escape
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  echo "Esc did not end the program"
  kill "$pid"
  exit 1
fi
wait "$pid"
status=$?
echo "window showed its results; Esc ended the program with status $status"
exit "$status"
