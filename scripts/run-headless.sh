#!/usr/bin/env bash
# Runs the program in DEMO under a private Xvfb, drives it with real input
# events and saves screenshots into OUT.
set -euo pipefail
demo=$1 out=$2
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$program" "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done 2>/dev/null || sleep 1

"$demo/vm_ver32" &
program=$!
window=
for _ in $(seq 100); do
  window=$(xdotool search --name '^Zelnor' 2>/dev/null | head -n1) && [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
sleep 1
eval "$(xdotool getwindowgeometry --shell "$window")"

shot() { import -window root -crop "446x323+$X+$Y" "$out/$1.png"; echo "screenshot: $out/$1.png"; }
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.8; }

shot start
# The test button sits over the lower left corner of the news view.
click 230 290
shot news-and-verdict
# The "Parametry" tab.
click 30 12
shot parameters
# Alt+K is "&Koniec": the window closes and saves its settings.
xdotool key --window "$window" alt+k
for _ in $(seq 50); do kill -0 "$program" 2>/dev/null || break; sleep 0.1; done
