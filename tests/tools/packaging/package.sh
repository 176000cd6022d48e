#!/usr/bin/env bash
# Makes the Debian package with cpack and checks what it holds and what it depends on: the
# dependencies come from the libraries the program links (dpkg-shlibdeps).
set -u
build=$1 app_id=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work" >"$work/cpack.log" 2>&1 || fail "cpack: $(cat "$work/cpack.log")"
deb=$(ls "$work"/*.deb 2>/dev/null | head -n 1)
[ -n "$deb" ] || fail "no package made: $(cat "$work/cpack.log")"

dpkg-deb -c "$deb" | awk '{print $6}' >"$work/contents"
for path in ./usr/bin/velmar ./usr/share/applications/$app_id.desktop ./usr/share/metainfo/$app_id.metainfo.xml \
  ./usr/share/man/man1/velmar.1.gz; do
  grep -qx "$path" "$work/contents" || fail "$path is not in the package"
done
for size in 16 24 32 48 64 128 256; do
  grep -qx "./usr/share/icons/hicolor/${size}x$size/apps/velmar.png" "$work/contents" || fail "no $size px icon in the package"
done

[ "$(dpkg-deb -f "$deb" Package)" = velmar ] || fail "package name"
dpkg-deb -f "$deb" Description | grep -q '^ Shows the content of the multimedia disc about crop circles' \
  || fail "description: $(dpkg-deb -f "$deb" Description)"
depends=$(dpkg-deb -f "$deb" Depends)
for library in 'libsdl2-2\.0-0' 'libavcodec[0-9]' 'libavformat[0-9]' 'libswscale[0-9]' 'libswresample[0-9]' \
  'libavutil[0-9]' 'libicu[0-9]' 'libfreetype6' 'libfontconfig1' 'libjpeg62-turbo' 'libpng16-16' \
  'fonts-liberation' 'fonts-dejavu-core'; do
  echo "$depends" | grep -Eq "(^|, )$library" || fail "Depends does not name $library: $depends"
done
# The program is stripped in the package: the build's debugging data stays out.
dpkg-deb -x "$deb" "$work/root"
file "$work/root/usr/bin/velmar" | grep -q 'not stripped' && fail "the packaged program is not stripped"
echo "Depends: $depends"
echo "1 passed, 0 failed"
