# Shell functions for driving the program's window under a private Xvfb with
# real input events. Source it, then call start_xvfb; sourcing alone starts
# nothing and sets no trap.
program_pid= xvfb_pid=

# The window's client area, in pixels, as the form lays it out.
window_width=446 window_height=323

# Starts Xvfb and exports its DISPLAY. With "trap", also stops the program and
# Xvfb on exit (callers with clean-up of their own call stop_session in theirs).
# Xvfb picks a free display itself and writes its number to the pipe; it
# never resets, since a server that resets when its last client (the check
# below) leaves turns away whoever connects meanwhile. Another
# X server starting at the same time can take that display from it: then it
# is started again and picks another. It lives an hour at most, so that one
# whose session was killed does not stay behind.
start_xvfb() {
  [ "${1:-}" != trap ] || trap stop_session EXIT
  local attempt xvfb_fd xvfb_number
  for attempt in 1 2 3; do
    exec {xvfb_fd}< <(timeout 3600 Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null & echo "pid $!")
    read -r _ xvfb_pid <&$xvfb_fd
    xvfb_number=
    if read -r -t 10 xvfb_number <&$xvfb_fd && kill -0 "$xvfb_pid" 2>/dev/null &&
       DISPLAY=:$xvfb_number xdpyinfo >/dev/null 2>&1; then
      export DISPLAY=:$xvfb_number
      return 0
    fi
    kill "$xvfb_pid" 2>/dev/null || true
    echo "Xvfb did not start on display :${xvfb_number:-?} (attempt $attempt)" >&2
  done
  exit 1
}

# Stops the program and Xvfb, whichever runs.
stop_session() { kill $program_pid $xvfb_pid 2>/dev/null || true; }

# Starts the program (a command and its arguments) and waits for its
# window; sets X and Y, its position.
start_program() {
  "$@" &
  program_pid=$!
  window=
  for _ in $(seq 100); do
    window=$(timeout 2 xdotool search --name '^Zelnor' 2>/dev/null | head -n1) && [ -n "$window" ] && break
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  [ -n "$window" ] || { echo "the window did not appear" >&2; exit 1; }
  sleep 1
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

# Saves the window's client area to FILE.
shot() { import -window root -crop "${window_width}x${window_height}+$X+$Y" +repage "$1"; echo "screenshot: $1"; }

# Clicks at X,Y of the window's client area.
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.8; }

# Waits at most SECONDS until the window stops changing.
wait_for_status_change() {
  local before after
  before=$(import -window root -crop "${window_width}x${window_height}+$X+$Y" ppm:- | md5sum)
  for _ in $(seq $(($1 * 2))); do
    sleep 0.5
    after=$(import -window root -crop "${window_width}x${window_height}+$X+$Y" ppm:- | md5sum)
    [ "$after" = "$before" ] && return 0
    before=$after
  done
}

# Alt+K is "&Koniec": the window closes and saves its settings.
close_program() {
  # --sync waits for the focus to change, for ever if it already has it.
  timeout 5 xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key alt+k
  for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || return 0; sleep 0.1; done
  echo "the program did not end" >&2; return 1
}
