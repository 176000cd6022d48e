#!/usr/bin/env bash
# Installs what the project needs, builds everything and runs every test through CTest.
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/setup.sh
build=${VELMAR_BUILD_DIR:-build}
# VELMAR_WERROR=ON makes compiler warnings errors (CI sets it).
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMAR_WERROR="${VELMAR_WERROR:-OFF}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" --timeout 900
