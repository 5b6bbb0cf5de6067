#!/usr/bin/env bash
# Starts the real program under a virtual display, waits until the window shows its results,
# checks the picture, presses Esc and expects the program to end with status 0.
# Usage: window_end_to_end.sh PROGRAM CHECKER SCREENSHOT
set -u
program=$1 checker=$2 shot=$3

# A virtual display of our own, started before the program and asked until it answers: on a
# fresh machine the server can take a while to come up. One more try on another display
# number, and the server's own words when it still fails.
xvfb_pid=""
trap '[ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null' EXIT
start_display() {
  local attempt number log
  for attempt in 1 2; do
    number=$((99 + RANDOM % 400))
    while [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
    log="$shot.xvfb-$attempt.log"
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -ac >"$log" 2>&1 &
    xvfb_pid=$!
    for _ in $(seq 1 150); do
      if DISPLAY=":$number" xdotool getdisplaygeometry >/dev/null 2>&1; then
        export DISPLAY=":$number"
        return 0
      fi
      kill -0 "$xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    echo "the virtual display :$number did not answer (try $attempt); the server said:"
    cat "$log"
    kill "$xvfb_pid" 2>/dev/null
    xvfb_pid=""
  done
  return 1
}
start_display || exit 1
unset QT_QPA_PLATFORM WAYLAND_DISPLAY

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
