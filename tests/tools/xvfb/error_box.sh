#!/usr/bin/env bash
# The error box in a real window under Xvfb with no window manager: VELMAR MKDISC CASE, where CASE
# is "missing" (the first scheme's drawing is gone) or "no-colour-table" (it is a GIF with neither a
# global nor a local colour table). A click on Schemes opens the program's own error box; Enter
# closes it; the window works on (another scheme shows its drawing); the close mark ends the
# program with status 0. VELMAR_XVFB_SHOTS=DIR keeps the window dumps (X window dump format).
set -u
velmar=$1 mkdisc=$2 case=$3
work=$(mktemp -d)
app= xvfb=
cleanup() {
  [ -n "$app" ] && kill "$app" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL ($case): $*"; [ -f "$work/out" ] && sed 's/^/  program: /' "$work/out"; exit 1; }

"$mkdisc" "$work/disc" --small >/dev/null || fail "cannot write the sample disc"
drawing="$work/disc/Graphics/1990/01/00.gif"
[ -f "$drawing" ] || fail "the sample disc has no drawing $drawing"
case $case in
  missing) rm "$drawing"; expected='Cannot open file' ;;
  # 4 x 4, one frame of colour 0, no colour table anywhere.
  no-colour-table)
    printf '%b' 'GIF89a\x04\x00\x04\x00\x00\x00\x00\x2c\x00\x00\x00\x00\x04\x00\x04\x00\x00' \
      '\x02\x0a\x04\x08\x10\x20\x40\x80\x00\x01\x02\x05\x00\x3b' >"$drawing"
    expected='color table' ;;
  *) fail "unknown case" ;;
esac

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
xprop -root -f _MOTIF_WM_HINTS 32c -set _MOTIF_WM_HINTS 0 || fail "xprop cannot reach the X server"

(cd "$work/disc" && exec env VELMAR_SCALE=1 "$velmar") >"$work/out" 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Velmar$' | head -n 1)
[ -n "$window" ] || fail "no window appeared"
sleep 0.5

# Pixels of a window dump, one per line as four hexadecimal bytes in blue, green, red order.
pixels() {
  local dump=$1 header colours bpp order
  read -r header < <(od -An -tu4 --endian=big -j0 -N4 "$dump")
  read -r order < <(od -An -tu4 --endian=big -j28 -N4 "$dump")
  read -r bpp < <(od -An -tu4 --endian=big -j44 -N4 "$dump")
  read -r colours < <(od -An -tu4 --endian=big -j76 -N4 "$dump")
  [ "$bpp" -eq 32 ] || fail "window dump with $bpp bits a pixel"
  tail -c +$((header + colours * 12 + 1)) "$dump" | od -An -v -tx1 -w4 |
    if [ "$order" -eq 0 ]; then cat; else awk '{ print " " $4 " " $3 " " $2 " " $1 }'; fi
}
shot() {
  xwd -silent -id "$window" >"$work/$1.xwd" || fail "cannot dump the window"
  [ -n "${VELMAR_XVFB_SHOTS:-}" ] && mkdir -p "$VELMAR_XVFB_SHOTS" && cp "$work/$1.xwd" "$VELMAR_XVFB_SHOTS/$case-$1.xwd"
  return 0
}
# Pixels of the error box's title strip: it begins in the active caption colour (10, 36, 106).
caption_pixels() { pixels "$work/$1.xwd" | grep -c '^ 6a 24 0a' ; }
# A fingerprint of a part of a dump: DUMP LEFT TOP WIDTH HEIGHT (the window is 1024 wide).
region() {
  pixels "$work/$1.xwd" | awk -v l="$2" -v t="$3" -v r=$(($2 + $4)) -v b=$(($3 + $5)) \
    '{ i = NR - 1; x = i % 1024; y = int(i / 1024) } x >= l && x < r && y >= t && y < b' | md5sum
}
viewer() { region "$1" 226 127 768 514; }
tabs() { region "$1" 430 67 531 40; }
click() { xdotool mousemove --sync "$1" "$2" click 1; sleep 0.5; }

shot start
[ "$(caption_pixels start)" -eq 0 ] || fail "a box before anything failed"
click 583 87 # the Schemes tab: the first scheme's drawing is shown
kill -0 "$app" 2>/dev/null || fail "the program ended"
shot box
[ "$(caption_pixels box)" -ge 18 ] || fail "no error box after the failing drawing"
grep -q "$expected" "$work/out" && fail "the error went to standard error instead of the box"

click 475 87 # the Photo tab, beside the box: nothing happens
shot beside
[ "$(caption_pixels beside)" -ge 18 ] || fail "a click beside the box closed it"
[ "$(tabs box)" = "$(tabs beside)" ] || fail "a click beside the box reached the window"

xdotool key Return
sleep 0.5
shot closed
[ "$(caption_pixels closed)" -eq 0 ] || fail "Enter did not close the box"

click 60 150 # the second scheme, whose drawing is sound
shot next
[ "$(viewer closed)" != "$(viewer next)" ] || fail "the window does not work on: the viewer did not change"
[ "$(caption_pixels next)" -eq 0 ] || fail "the sound drawing gave an error box"

xdotool mousemove --sync 1008 17 click 1
for _ in $(seq 100); do kill -0 "$app" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app" 2>/dev/null && fail "the close mark did not end the program"
wait "$app"
status=$?
app=
[ "$status" -eq 0 ] || fail "exit status $status"
echo "1 passed, 0 failed"
