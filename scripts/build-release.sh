#!/usr/bin/env bash
# Builds everything as a user or packager would (Release), with warnings as errors, into
# build-release-<compiler>/: scripts/build-release.sh [gcc|clang]. The optimiser's warnings
# at -O3 differ from the test build's, and each compiler has its own.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
compiler=${1:-gcc}
case "$compiler" in
  gcc) cc=gcc cxx=g++ ;;
  clang) cc=clang cxx=clang++ ;;
  *) echo "usage: $0 [gcc|clang]" >&2; exit 2 ;;
esac
cmake -S . -B "build-release-$compiler" -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_COMPILER=$cc \
  -DCMAKE_CXX_COMPILER=$cxx -DCHAIN_WERROR=ON >/dev/null
cmake --build "build-release-$compiler" -j"$(nproc)"
