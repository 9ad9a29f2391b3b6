#!/usr/bin/env bash
# Runs every fuzz target of fuzz/ for the given seconds each (default 60; 0: no time
# limit), one after another, from the seed corpus in fuzz/corpus/<target>. What a run
# adds to a corpus stays in build-asan/fuzz-corpus/<target>; a finding (a crash, a
# sanitizer report or a broken property) ends the script with its input kept in
# build-asan/fuzz-findings/. CHAIN_FUZZ_RUNS=N stops each target after N inputs instead;
# further arguments name the targets to run (cp932, wave...). Builds with
# scripts/test-sanitizers.sh's configuration when the targets are missing.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  mapfile -t targets < <(ls fuzz/corpus)
fi
if [ ! -d build-asan/fuzz ]; then
  source scripts/deps.sh
  cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCHAIN_SANITIZE=ON -DCHAIN_FUZZ=ON -DCHAIN_WERROR=ON >/dev/null
fi
cmake --build build-asan -j"$(nproc)" --target "${targets[@]/#/fuzz_}"

# Recording where each block was allocated costs the targets that make many small texts
# much of their time (the keyword file's target runs 60000 inputs in 40 % less time without
# it, the others in 7-17 % less). A finding replayed by hand (fuzz/README.md) shows it in
# full. Options given in ASAN_OPTIONS come after these and win.
export ASAN_OPTIONS="malloc_context_size=0${ASAN_OPTIONS:+:$ASAN_OPTIONS}"

findings=build-asan/fuzz-findings
mkdir -p "$findings"
for target in "${targets[@]}"; do
  corpus="build-asan/fuzz-corpus/$target"
  log="$findings/$target.log"
  mkdir -p "$corpus"
  echo "== fuzz_$target (${seconds}s, ${CHAIN_FUZZ_RUNS:-unbounded} runs)"
  if ! build-asan/fuzz/"fuzz_$target" -max_total_time="$seconds" -runs="${CHAIN_FUZZ_RUNS:--1}" \
    -print_final_stats=1 -artifact_prefix="$findings/$target-" "$corpus" "fuzz/corpus/$target" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "fuzz_$target found a defect; its input is kept in $findings/"
    exit 1
  fi
  grep -E '^(#[0-9]+ +DONE|stat::number_of_executed_units|stat::average_exec_per_sec|stat::new_units_added)' "$log"
done
