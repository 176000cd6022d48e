#!/usr/bin/env bash
# Without any display the program says so plainly and exits with status 1.
set -u
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
timeout 20 env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER= "$1" >out 2>err
status=$?
[ "$status" -eq 1 ] || { echo "FAIL: exit status $status"; cat err; exit 1; }
grep -qi 'display' err || { echo "FAIL: no plain message: $(cat err)"; exit 1; }
echo "1 passed, 0 failed"
