# Helpers of the real-window tests, sourced by them: an X server without a screen, the program's
# window started and found, settled window dumps, the close mark. Each test sets `work` (a scratch
# folder) before sourcing this file; the EXIT trap stops what was started and removes `work`.

pictures="python3 $(dirname "${BASH_SOURCE[0]}")/pictures.py"
app=""
xvfb=""

fail() { echo "FAIL: $*"; exit 1; }

cleanup()
{
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# start_xvfb: a 2560 x 1600 screen, room for a window at scale 2; sets DISPLAY.
start_xvfb()
{
  Xvfb -displayfd 3 -screen 0 2560x1600x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
  xvfb=$!
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
  # A window manager would have made this atom; the program names its decorations through it.
  xprop -root -f _MOTIF_WM_HINTS 32c -set _MOTIF_WM_HINTS 0 || fail "xprop cannot reach the X server"
}

# park_pointer: moves the pointer off the window, so that nothing shows a hover look or a hint.
park_pointer() { xdotool mousemove --sync 2550 1590; }

# launch FOLDER [ENV=VALUE...] -- [ARGUMENTS...]: starts `velmar` in FOLDER and waits for its
# window; sets `app` (process) and `window` (X window id). Output goes to $work/out.
launch()
{
  local folder=$1
  shift
  local environment=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do environment+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  park_pointer
  (cd "$folder" && exec env "${environment[@]}" "$velmar" "$@") >"$work/out" 2>&1 &
  app=$!
  window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Velmar$' 2>/dev/null | head -n 1)
  [ -n "$window" ] || fail "no window appeared: $(cat "$work/out")"
  [ "$(xdotool search --onlyvisible --name '^Velmar$' | wc -l)" -eq 1 ] || fail "more than one window"
}

# geometry_is WIDTHxHEIGHT: the window is at 0,0 with that client size.
geometry_is()
{
  local geometry
  geometry=$(xdotool getwindowgeometry "$window")
  echo "$geometry" | grep -q 'Position: 0,0' || fail "not at 0,0: $geometry"
  echo "$geometry" | grep -q "Geometry: $1\$" || fail "not $1: $geometry"
}

# shot FILE: dumps the window once its picture has settled (two dumps in a row alike).
shot()
{
  local previous="$work/shot.previous"
  xwd -id "$window" -out "$previous" 2>/dev/null
  for _ in $(seq 30); do
    sleep 0.4
    xwd -id "$window" -out "$1" 2>/dev/null || fail "cannot dump the window"
    cmp -s "$1" "$previous" && return 0
    cp "$1" "$previous"
  done
  fail "the window's picture does not settle"
}

# click X Y: a left click at screen coordinates, then the pointer leaves the window.
click()
{
  xdotool mousemove --sync "$1" "$2" click 1
  sleep 0.3
  park_pointer
}

# close_by_mark X Y: clicks the close mark at screen coordinates; the program must end with 0.
close_by_mark()
{
  xdotool mousemove --sync "$1" "$2" click 1
  for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$app" 2>/dev/null && fail "the close mark at $1,$2 did not end the program"
  wait "$app"
  local status=$?
  app=""
  [ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
}

# stop: ends the program (for windows whose close mark a modal box may hold).
stop()
{
  kill "$app" 2>/dev/null
  wait "$app" 2>/dev/null
  app=""
}
