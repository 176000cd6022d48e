#!/usr/bin/env bash
# Starts the program under Xvfb on an empty disc: one borderless 1024 x 738 window at 0,0; once its
# error box is closed, a click on the close mark ends the process with status 0.
set -u
velmar=$1
work=$(mktemp -d)
cleanup() { kill "$app" "$xvfb" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
fail() { echo "FAIL: $*"; exit 1; }

# A window manager would have made this atom; the program names its decorations through it.
xprop -root -f _MOTIF_WM_HINTS 32c -set _MOTIF_WM_HINTS 0 || fail "xprop cannot reach the X server"

mkdir "$work/disc"
# No mounted disc is looked for on the machine that runs the test.
(cd "$work/disc" && VELMAR_MOUNT_ROOTS="$work/no-mounts/*/" exec "$velmar") >"$work/out" 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Velmar$' | head -n 1)
[ -n "$window" ] || fail "no window appeared: $(cat "$work/out")"
[ "$(xdotool search --onlyvisible --name '^Velmar$' | wc -l)" -eq 1 ] || fail "more than one window"
geometry=$(xdotool getwindowgeometry "$window")
echo "$geometry" | grep -q 'Position: 0,0' || fail "not at 0,0: $geometry"
echo "$geometry" | grep -q 'Geometry: 1024x738' || fail "not 1024x738: $geometry"
# Borderless: the window asks the window manager for no decorations at all.
hints=$(xprop -id "$window" _MOTIF_WM_HINTS 2>/dev/null)
echo "$hints" | grep -Eq '= 0x2, 0x0, 0x0|= 2, 0, 0' || fail "decorations requested: $hints"

sleep 0.5
# The empty disc has no catalogue: the window says so in its error box, which Enter closes.
xdotool mousemove --sync 512 369 key Return
sleep 0.2
xdotool mousemove --sync 1008 17 click 1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the close mark did not end the program"
wait "$app"
status=$?
[ "$status" -eq 0 ] || fail "exit status $status: $(cat "$work/out")"
echo "1 passed, 0 failed"
