#!/usr/bin/env bash
# Configures and builds everything into build/ (programs in build/bin, stand-ins in build/tools).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCHAIN_WERROR=ON >/dev/null
cmake --build build -j"$(nproc)"
