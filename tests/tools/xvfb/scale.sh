#!/usr/bin/env bash
# The window at scale 2 in a real X server, asked for by VELMAR_SCALE and by the desktop's Xft.dpi:
# a 2048 x 1476 window at 0,0 showing the scale-1 picture with every pixel doubled; a click at the
# doubled place of a tab switches the section exactly as at scale 1; the doubled close mark ends
# the program with status 0. A clip's pictures are scaled once, to the screen's resolution.
set -u
velmar=$1 build=$2
work=$(mktemp -d)
source "$(dirname "$0")/window_lib.sh"

"$build/bin/velmar-mkdisc" "$work/disc" --small >/dev/null || fail "velmar-mkdisc"
start_xvfb
quiet=(VELMAR_MOUNT_ROOTS="$work/nothing/*/")

# Scale 1: the pictures to compare with. The Schemes tab is at 583,87; the close mark at 1008,17.
launch "$work/disc" "${quiet[@]}" VELMAR_SCALE=1 --
geometry_is 1024x738
shot "$work/start-1.xwd"
click 583 87
shot "$work/schemes-1.xwd"
close_by_mark 1008 17
$pictures differ "$work/start-1.xwd" "$work/schemes-1.xwd" 0 0 1024 738 || fail "the Schemes tab changed nothing"

# check_scale_2 HOW: the running window at scale 2.
check_scale_2()
{
  geometry_is 2048x1476
  shot "$work/start-2.xwd"
  $pictures scaled "$work/start-1.xwd" "$work/start-2.xwd" 2 || fail "$1: the first picture is not the scale-1 picture doubled"
  click 1166 174
  shot "$work/schemes-2.xwd"
  $pictures scaled "$work/schemes-1.xwd" "$work/schemes-2.xwd" 2 || fail "$1: the Schemes section is not the scale-1 one doubled"
  close_by_mark 2016 34
}

launch "$work/disc" "${quiet[@]}" VELMAR_SCALE=2 --
check_scale_2 "VELMAR_SCALE=2"

# A clip at scale 2 is scaled once, straight to the screen: its picture (window 226,127 768 x 514)
# is not the window's picture with its pixels doubled. Video tab, the first clip, then pause.
launch "$work/disc" "${quiet[@]}" VELMAR_SCALE=2 SDL_AUDIODRIVER=dummy --
click 1388 174
xdotool mousemove --sync 120 266 click --repeat 2 --delay 80 1
sleep 1
click 1888 1308
shot "$work/clip-2.xwd"
$pictures not-repeated "$work/clip-2.xwd" 452 254 1536 1028 2 >/dev/null || fail "the clip is not drawn at the screen's resolution"
close_by_mark 2016 34

# The desktop's setting alone: Xft.dpi 192, no variable.
echo 'Xft.dpi: 192' | xrdb -merge || fail "xrdb"
launch "$work/disc" -u VELMAR_SCALE -u GDK_SCALE "${quiet[@]}" --
check_scale_2 "Xft.dpi: 192"
echo "1 passed, 0 failed"
