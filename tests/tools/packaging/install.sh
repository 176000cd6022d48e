#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop reads: the program, the
# desktop entry and AppStream metadata (through the desktop's own validators), the icons at the
# icon theme's sizes, and the manual page.
set -u
build=$1 app_id=$2 window_class=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
checks=0
pass() { checks=$((checks + 1)); }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || fail "cmake --install: $(cat "$work/install.log")"

[ -x "$prefix/bin/velmar" ] || fail "no program in bin"
"$prefix/bin/velmar" --version | grep -Eq '^velmar [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version: $("$prefix/bin/velmar" --version)"
"$prefix/bin/velmar" --help | grep -q 'Usage: velmar \[DISC\]' || fail "--help"
"$prefix/bin/velmar" --bogus >/dev/null 2>&1
[ $? -eq 2 ] || fail "a wrong command line should end with status 2"
pass

entry=$prefix/share/applications/$app_id.desktop
[ -f "$entry" ] || fail "no desktop entry $entry"
desktop-file-validate "$entry" >"$work/dfv" 2>&1 || fail "desktop-file-validate: $(cat "$work/dfv")"
[ -s "$work/dfv" ] && fail "desktop-file-validate complains: $(cat "$work/dfv")"
grep -qx 'Exec=velmar' "$entry" || fail "Exec"
grep -qx "StartupWMClass=$window_class" "$entry" || fail "StartupWMClass is not the window's class $window_class"
grep -q '^Name\[ru\]=Круги на полях' "$entry" || fail "no Russian name"
grep -q '^Name=' "$entry" && grep -q '^Comment=' "$entry" && grep -q '^Comment\[ru\]=' "$entry" || fail "names and comments"
grep -qx 'Categories=Education;History;' "$entry" || fail "Categories"
icon=$(sed -n 's/^Icon=//p' "$entry")
pass

metainfo=$prefix/share/metainfo/$app_id.metainfo.xml
[ -f "$metainfo" ] || fail "no AppStream metadata $metainfo"
appstreamcli validate --no-net "$metainfo" >"$work/asv" 2>&1 || fail "appstreamcli validate: $(cat "$work/asv")"
grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" || fail "the metadata does not launch the entry"
grep -q '<content_rating type="oars-1.1"' "$metainfo" || fail "no content rating"
grep -q '<project_license>' "$metainfo" || fail "no licence"
for shot in photo schemes video articles bonus; do
  grep -q "/$shot.png</image>" "$metainfo" || fail "the README's $shot screenshot is missing"
done
pass

for size in 16 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/$icon.png
  [ -f "$png" ] || fail "no $size px icon named $icon"
  file "$png" | grep -q "PNG image data, $size x $size, 8-bit/color RGBA" || fail "$png: $(file -b "$png")"
done
pass

page=$prefix/share/man/man1/velmar.1.gz
[ -f "$page" ] || fail "no manual page"
MANWIDTH=80 man -l "$page" >"$work/man.txt" 2>"$work/man.err" || fail "man -l: $(cat "$work/man.err")"
man --warnings -l "$page" 2>&1 >/dev/null | grep . && fail "the manual page has roff warnings"
grep -q '^NAME' "$work/man.txt" && grep -q 'velmar - the start-up program' "$work/man.txt" || fail "the page does not render: $(head "$work/man.txt")"
grep -q 'VELMAR_SCALE' "$work/man.txt" || fail "the page does not tell of VELMAR_SCALE"
pass

echo "$checks passed, 0 failed"
