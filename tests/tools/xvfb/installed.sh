#!/usr/bin/env bash
# The installed program in a real X server: started in another folder with the disc as its
# argument, or with no argument and the disc under a mount root, it shows the same first picture
# as started in the disc's root; the window carries the desktop entry's class and the icon; with
# no disc at all the window opens empty and says why.
set -u
build=$1
work=$(mktemp -d)
source "$(dirname "$0")/window_lib.sh"

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"
velmar=$prefix/bin/velmar
entry=$(ls "$prefix"/share/applications/*.desktop)
"$build/bin/velmar-mkdisc" "$work/disc" --small >/dev/null || fail "velmar-mkdisc"
mkdir -p "$work/elsewhere" "$work/nothing-mounted"
# Mount roots as a desktop makes them: a user's folder with a card reader's empty folder before
# the disc, which is mounted under its label.
mkdir -p "$work/media/user/AAA" "$work/media/cdrom"
ln -s "$work/disc" "$work/media/user/SAMPLE DISC"
roots="$work/media/*/:$work/media/*/*/"
no_roots="$work/nothing-mounted/*/"
start_xvfb

# On the disc, as it always started.
launch "$work/disc" VELMAR_MOUNT_ROOTS="$no_roots" --
geometry_is 1024x738
shot "$work/in-root.xwd"
class=$(sed -n 's/^StartupWMClass=//p' "$entry")
xprop -id "$window" WM_CLASS | grep -q "= \"$class\", \"$class\"" || fail "window class $(xprop -id "$window" WM_CLASS), entry names $class"
xprop -id "$window" _NET_WM_ICON | grep -q 'Icon (128 x 128)' || fail "the window has no icon"
close_by_mark 1008 17

# Elsewhere, with the disc as argument.
launch "$work/elsewhere" VELMAR_MOUNT_ROOTS="$no_roots" -- "$work/disc"
shot "$work/argument.xwd"
close_by_mark 1008 17
$pictures same "$work/in-root.xwd" "$work/argument.xwd" || fail "started with the disc as argument, the first picture differs"

# Elsewhere, no argument: the disc under a mount root.
launch "$work/elsewhere" VELMAR_MOUNT_ROOTS="$roots" --
shot "$work/mounted.xwd"
close_by_mark 1008 17
$pictures same "$work/in-root.xwd" "$work/mounted.xwd" || fail "the disc found under a mount root shows another first picture"

# Neither: the window opens empty and its error box says what is missing. A folder holding an
# empty catalogue folder gives the same empty window (with "File not found" in its box).
mkdir -p "$work/empty-catalogue/db"
launch "$work/empty-catalogue" VELMAR_MOUNT_ROOTS="$no_roots" --
shot "$work/empty.xwd"
stop
launch "$work/elsewhere" VELMAR_MOUNT_ROOTS="$no_roots" --
geometry_is 1024x738
shot "$work/no-disc.xwd"
kill -0 "$app" 2>/dev/null || fail "the program ended: $(cat "$work/out")"
grep -q "No disc found" "$work/out" || fail "no message: $(cat "$work/out")"
stop
# The top of the photo tree (window 20,120 140 x 150, left of any error box): empty, as with an
# empty catalogue, where the disc shows its first nodes.
$pictures same-area "$work/empty.xwd" "$work/no-disc.xwd" 20 120 140 150 || fail "the window without a disc is not empty"
$pictures differ "$work/in-root.xwd" "$work/no-disc.xwd" 20 120 140 150 || fail "the tree area shows nothing either way"
# The error box over the window's middle, with its own message rather than the empty catalogue's.
$pictures differ "$work/in-root.xwd" "$work/no-disc.xwd" 300 340 424 60 || fail "no error box over the window"
$pictures differ "$work/empty.xwd" "$work/no-disc.xwd" 300 340 424 60 || fail "the error box does not say the disc is missing"
echo "1 passed, 0 failed"
