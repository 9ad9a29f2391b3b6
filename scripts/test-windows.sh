#!/usr/bin/env bash
# Cross-builds the platform layer, its tests and the stand-ins for 64-bit Windows with MinGW-w64 into
# build-win/, and runs them under Wine in a Wine prefix of their own that is removed
# afterwards.
set -euo pipefail
cd "$(dirname "$0")/.."
CHAIN_WITH_WINDOWS=1
source scripts/deps.sh
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCHAIN_PLATFORM_ONLY=ON \
  -DCMAKE_BUILD_TYPE=Release -DCHAIN_WERROR=ON >/dev/null
cmake --build build-win -j"$(nproc)"

WINEPREFIX="$(mktemp -d)"
export WINEPREFIX WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
cd build-win
ctest --output-on-failure
