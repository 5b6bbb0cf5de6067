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

# Starts the program and sets pid and window, the program's X window, once it appears.
start_program() {
  "$program" &
  pid=$!
  window=""
  for _ in $(seq 1 100); do
    window=$(xdotool search --name "Quorin-Rotary" 2>/dev/null | head -n 1)
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  return 1
}
# Waits up to five seconds for the program to end: false if it is still running.
program_ended() {
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  ! kill -0 "$pid" 2>/dev/null
}

start_program || { echo "the window never appeared"; kill "$pid"; exit 1; }
# The client area lies under the menu bar: its top is the window's less the bar's height, which
# is what the window has beyond the client area's 728 pixels.
geometry=$(xdotool getwindowgeometry "$window")
read -r wx wy <<<"$(sed -n 's/.*Position: \([0-9]*\),\([0-9]*\).*/\1 \2/p' <<<"$geometry")"
read -r width height <<<"$(sed -n 's/.*Geometry: \([0-9]*\)x\([0-9]*\).*/\1 \2/p' <<<"$geometry")"
menu=$((height - 728))
[ "$menu" -gt 10 ] && [ "$menu" -lt 60 ] || { echo "no menu bar above the client area: $geometry"; kill "$pid"; exit 1; }
wy=$((wy + menu))
position="$wx $wy"

seen=""
for _ in $(seq 1 120); do
  import -window root "$shot"
  if "$checker" "$shot" $position >"$shot.log"; then seen=yes; break; fi
  sleep 0.25
done
[ -n "$seen" ] || { echo "the results never appeared:"; cat "$shot.log"; kill "$pid"; exit 1; }

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

# The File menu by keyboard and Qt's own file dialog: the figure as SVG and as PNG, and the CAD
# outlines, saved where the user typed, and read back by an XML parser, PIL and ezdxf.
# save_from_menu DOWNS TITLE FILE: the item DOWNS below the first of the File menu.
shown_windows() { xdotool search --onlyvisible --pid "$pid" 2>/dev/null | wc -l; }
save_from_menu() {
  local downs=$1 title=$2 file=$3 dialog="" before
  rm -f "$file"
  # Without a window manager the closed dialog hands the keyboard back to no one.
  xdotool windowfocus "$window"
  sleep 0.3
  before=$(shown_windows)
  xdotool key alt+f
  # The keys for the menu wait until it shows: one window more on the screen.
  for _ in $(seq 1 50); do [ "$(shown_windows)" -gt "$before" ] && break; sleep 0.1; done
  [ "$(shown_windows)" -gt "$before" ] || { echo "Alt+F opened no menu"; return 1; }
  for _ in $(seq 1 "$downs"); do xdotool key Down; done
  xdotool key Return
  for _ in $(seq 1 50); do
    dialog=$(xdotool search --name "$title" 2>/dev/null | head -n 1)
    [ -n "$dialog" ] && break
    sleep 0.1
  done
  [ -n "$dialog" ] || { echo "File > $title opened no dialog"; return 1; }
  sleep 0.5
  xdotool windowfocus "$dialog"
  xdotool key ctrl+a
  xdotool type "$file"
  xdotool key Return
  for _ in $(seq 1 50); do [ -s "$file" ] && return 0; sleep 0.1; done
  echo "File > $title saved nothing at $file"
  return 1
}
saved="$shot.saved-figure"
save_from_menu 0 "Save Figure" "$saved.svg" &&
  save_from_menu 0 "Save Figure" "$saved.png" &&
  save_from_menu 1 "Export CAD Outlines" "$saved.dxf" || { kill "$pid"; exit 1; }
/usr/bin/python3 - "$saved" <<'PY' || { echo "the saved files do not read back (see $saved.*)"; kill "$pid"; exit 1; }
import sys, xml.etree.ElementTree as tree
import ezdxf
from PIL import Image
base = sys.argv[1]
svg = tree.parse(base + ".svg").getroot()
assert svg.tag.endswith("svg") and len(list(svg.iter())) > 20, "no drawing in the SVG"
with Image.open(base + ".png") as png:
    assert png.format == "PNG" and png.size[0] == 1600, png.size
dxf = ezdxf.readfile(base + ".dxf")
layers = {entity.dxf.layer for entity in dxf.modelspace()}
assert {"HOUSING", "ROTOR", "GEARS"} <= layers, layers
PY

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
# The figures stand for e = 15 while 10 is typed: the message area says so in dark blue.
stale_line() {
  import -window root "$shot.stale.png"
  "$checker" "$shot.stale.png" $position --blue-in 696 544 200 120 >/dev/null
}
stale_line || { echo "no line that the figures are of another engine (see $shot.stale.png)"; kill "$pid"; exit 1; }
cp "$shot.stale.png" "$shot.stale-typed.png"
xdotool key Return
seen=""
for _ in $(seq 1 100); do
  results "$shot.after.png"
  [ "$(compare -metric AE "$shot.before.png" "$shot.after.png" null: 2>&1)" != "0" ] &&
    { seen=yes; break; }
  sleep 0.1
done
[ -n "$seen" ] || { echo "Enter did not recalculate"; kill "$pid"; exit 1; }
seen=""
for _ in $(seq 1 50); do stale_line || { seen=yes; break; }; sleep 0.1; done
[ -n "$seen" ] || { echo "the stale line stayed after the recalculation (see $shot.stale.png)"; kill "$pid"; exit 1; }

# F2 opens the design panel beside the client area: the window grows by its 400 pixels, or on
# this 1280-pixel screen by what is left beside the client area.
xdotool key F2
sleep 0.5
wider=$(xdotool getwindowgeometry "$window" | sed -n 's/.*Geometry: \([0-9]*\)x.*/\1/p')
panel=$(( 1280 - width < 400 ? 1280 - width : 400 ))
[ "$wider" -eq $((width + panel)) ] || { echo "F2 did not open the panel: $width to $wider wide"; kill "$pid"; exit 1; }
import -window root "$shot.panel.png"
colours=$(convert "$shot.panel.png" -crop "240x120+$((wx + width + 10))+$((wy + 10))" -format %k info:)
[ "$colours" -gt 2 ] || { echo "the design panel shows nothing (see $shot.panel.png)"; kill "$pid"; exit 1; }
# F2 put the keyboard in the seal offset: typed there, the Engine page draws the real engine
# and the window's boxes keep what they had.
drawing() {
  import -window root "$shot.panel-now.png"
  convert "$shot.panel-now.png" -crop "$((panel - 40))x260+$((wx + width + 20))+$((wy + 330))" +repage "$1"
}
drawing "$shot.bare.png"
results "$shot.boxes-before.png"
xdotool type 2
xdotool key Tab
xdotool type 0.1
seen=""
for _ in $(seq 1 50); do
  drawing "$shot.real.png"
  [ "$(compare -metric AE "$shot.bare.png" "$shot.real.png" null: 2>&1)" != "0" ] && { seen=yes; break; }
  sleep 0.1
done
[ -n "$seen" ] || { echo "F2 left the keyboard out of the seal offset, or the drawing stayed the bare engine's (see $shot.panel-now.png)"; kill "$pid"; exit 1; }
cp "$shot.panel-now.png" "$shot.panel-real.png"
results "$shot.boxes-after.png"
[ "$(compare -metric AE "$shot.boxes-before.png" "$shot.boxes-after.png" null: 2>&1)" = "0" ] ||
  { echo "the keys typed after F2 reached the window's boxes"; kill "$pid"; exit 1; }

xdotool key Escape
program_ended || { echo "Esc did not end the program"; kill "$pid"; exit 1; }
wait "$pid"
status=$?
[ "$status" = 0 ] || { echo "Esc ended the program with status $status"; exit "$status"; }

# Ctrl+Q quits too, through the File menu's Quit: a key given twice to it would trigger nothing.
start_program || { echo "the window never appeared the second time"; kill "$pid"; exit 1; }
sleep 1
xdotool windowactivate --sync "$window" 2>/dev/null || xdotool windowfocus "$window"
xdotool key --window "$window" ctrl+q
program_ended || { echo "Ctrl+Q did not end the program"; kill "$pid"; exit 1; }
wait "$pid"
status=$?
echo "window showed its results, the hold, the figure and the outlines saved from the File menu, the line that the figures are of another engine, a recalculation on Enter and the design panel with the keyboard in its seal offset; Esc and Ctrl+Q ended the program, with status $status"
exit "$status"
