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
    # -noreset: by default the server resets when its last client leaves, and the program's
    # connection, coming just after the probe's, can fall into that reset.
    Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp -ac -noreset >"$log" 2>&1 &
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

read -r wx wy <<<"$position"
# The hold: a press on the drawing holds the animation and the message area says so, under the
# step count and the two lines of the exact limit; the next press releases it and the line goes.
held_line() {
  import -window root "$shot.held.png"
  "$checker" "$shot.held.png" $position --text-in 696 588 200 14 >/dev/null
}
"$checker" "$shot" $position --text-in 696 544 200 15 >/dev/null ||
  { echo "no step count in the message area"; kill "$pid"; exit 1; }
"$checker" "$shot" $position --text-in 696 559 200 26 >/dev/null ||
  { echo "no exact limit under the step count (see $shot)"; kill "$pid"; exit 1; }
held_line && { echo "a hold line before any hold (see $shot.held.png)"; kill "$pid"; exit 1; }
xdotool mousemove $((wx + 300)) $((wy + 300)) click 1
seen=""
for _ in $(seq 1 100); do held_line && { seen=yes; break; }; sleep 0.1; done
[ -n "$seen" ] || { echo "the hold was not shown (see $shot.held.png)"; kill "$pid"; exit 1; }
xdotool click 1
seen=""
for _ in $(seq 1 100); do held_line || { seen=yes; break; }; sleep 0.1; done
[ -n "$seen" ] || { echo "the hold line stayed after the release"; kill "$pid"; exit 1; }

# Enter in the eccentricity box recalculates: the results change.
results() {
  import -window root "$shot.results.png"
  convert "$shot.results.png" -crop "60x120+$((wx + 834))+$((wy + 160))" +repage "$1"
}
results "$shot.before.png"
xdotool mousemove $((wx + 862)) $((wy + 28)) click 1
xdotool key ctrl+a
xdotool type 10
sleep 0.5
results "$shot.typed.png"
[ "$(compare -metric AE "$shot.before.png" "$shot.typed.png" null: 2>&1)" = "0" ] ||
  { echo "typing alone changed the results"; kill "$pid"; exit 1; }
xdotool key Return
seen=""
for _ in $(seq 1 100); do
  results "$shot.after.png"
  [ "$(compare -metric AE "$shot.before.png" "$shot.after.png" null: 2>&1)" != "0" ] &&
    { seen=yes; break; }
  sleep 0.1
done
[ -n "$seen" ] || { echo "Enter did not recalculate"; kill "$pid"; exit 1; }

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
echo "window showed its results, the hold and a recalculation on Enter; Esc ended the program with status $status"
exit "$status"
