#!/usr/bin/env bash
# Installs what the project needs, builds the program, makes the sample disc once and starts the
# program with the disc's root as its current directory.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
build=${VELMAR_BUILD_DIR:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target velmar velmar-mkdisc
root=$PWD
if [ ! -f disc/.complete ]; then
  rm -rf disc
  "$build/bin/velmar-mkdisc" disc
  touch disc/.complete
fi
cd disc
exec "$root/$build/bin/velmar"
