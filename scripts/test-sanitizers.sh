#!/usr/bin/env bash
# Builds everything with clang under AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (the fuzz targets too) and runs the whole test suite there. Every report of
# a sanitizer, in a test or in any program or stand-in a test starts, fails the run: the
# reports go to build-asan/sanitizer-reports/ and are printed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/deps.sh
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCHAIN_SANITIZE=ON -DCHAIN_FUZZ=ON -DCHAIN_WERROR=ON >/dev/null
cmake --build build-asan -j"$(nproc)"

reports="$PWD/build-asan/sanitizer-reports"
rm -rf "$reports"
mkdir -p "$reports"
export ASAN_OPTIONS="log_path=$reports/asan:detect_stack_use_after_return=1:strict_string_checks=1"
export UBSAN_OPTIONS="log_path=$reports/ubsan:print_stacktrace=1"
status=0
(cd build-asan && ctest --output-on-failure -j"$(nproc)") || status=$?
if compgen -G "$reports/*" >/dev/null; then
  echo "== Sanitizer reports:"
  for report in "$reports"/*; do
    echo "-- $report"
    cat "$report"
  done
  status=1
fi
exit "$status"
