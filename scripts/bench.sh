#!/usr/bin/env bash
# Measures the chain's hot paths in one run and prints a table of each goal, what was
# measured and the baseline beside it (bench/README.md keeps a copy). Builds first.
# Makes, and removes whatever happens: 500 extra processes, a folder of 10,000 files
# (10 of them .ts) for Kestrune's scan, 10,000 .ts names for Tassik's preview and renames,
# and a program folder for each program. The machine should be otherwise quiet: the
# load average is printed before and after.
#
#   scripts/bench.sh [BUILD]   measures the programs of another build folder (say, one of
#                              an older commit with bench/ added) instead of building build/
set -euo pipefail
cd "$(dirname "$0")/.."
CHAIN_WITH_BENCH=1
source scripts/deps.sh
if [ $# -gt 0 ]; then
  build=$(cd "$1" && pwd)
else
  scripts/build.sh >/dev/null
  build=$PWD/build
fi
bin=$build/bin
bench=$build/bench

work=$(mktemp -d)
extra=()
cleanup() {
  if [ ${#extra[@]} -gt 0 ]; then
    kill "${extra[@]}" 2>/dev/null || true
    wait "${extra[@]}" 2>/dev/null || true
  fi
  # The engines started for the idle measurements (their ids are noted as they start).
  if [ -f "$work/started" ]; then
    xargs kill <"$work/started" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

median() { sort -g | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
ms_since() { awk -v s="$1" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'; }
# Runs a command and prints "WALL CPU" in ms (CPU: user + system, from getrusage).
timed() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$({ time "$@" >/dev/null 2>&1; } 2>&1 || true)
  awk '{ printf "%.1f %.1f\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f\n", a / b }'; }
# "met" when the measured value is at most the goal, otherwise by how much it misses.
verdict() { awk -v m="$1" -v g="$2" 'BEGIN { if (m <= g) print "met"; else printf "missed by %.0f%%\n", (m / g - 1) * 100 }'; }
# Files named by a printf format with %g in it, numbered 1..count, in a new folder.
make_files() { mkdir -p "$1" && (cd "$1" && seq -f "$2" 1 "$3" | tr '\n' '\0' | xargs -0 touch); }
# A settings file in cp932 with CR LF, as the programs write them.
settings() { local file=$1; shift; printf '%s\r\n' "$@" | iconv -f UTF-8 -t CP932 >"$file"; }
# Voluntary context switches of all threads of a process: how often it went to sleep.
switches() {
  local total=0 status
  for status in /proc/"$1"/task/*/status; do
    total=$((total + $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$status")))
  done
  echo "$total"
}
# One row of the table.
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"; }

echo "machine: $(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), Linux $(uname -r)"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# The folders and program folders.
make_files "$work/scan" 'recording %g.m2v' 9990
make_files "$work/scan" '番組 %g.ts' 10 # empty: they wait for ever, so every tick does the same work
make_files "$work/names" '番組 %g.ts' 10000
mkdir -p "$work/kestrune/done" "$work/kestrune/out" "$work/pellavo" "$work/orvane" "$work/tassik-preview" "$work/tassik-rename"
cp "$build/tools/BonTsDemux.exe" "$work/kestrune/"
# Auto mode over the scan folder, a check every 5 s.
settings "$work/kestrune/KestruneData1.txt" 0 "$work/scan" "$work/kestrune/done" "$work/kestrune/out" 5 \
  'Demux(m2v+wav)' 0 0 0 0 1 5 0 0 '"!?"' '"！？"'
# Orvane stays when no jobs file is left (close option off).
settings "$work/orvane/Orvane_Data.txt" "$work/orvane" "$work/orvane" "$work/orvane" 0 0
settings "$work/tassik-preview/Tassik_Data1.txt" "$work/names" '" "' '"_"'
settings "$work/tassik-rename/Tassik_Data1.txt" "$work/rename" '" "' '"_"'

for _ in $(seq 500); do
  sleep 3600 &
  extra+=($!)
done

CHAIN_BENCH_SCAN=$work/scan CHAIN_BENCH_TASSIK=$work/tassik-preview "$bench/chain_bench" \
  --benchmark_repetitions=5 --benchmark_report_aggregates_only=true --benchmark_format=csv \
  >"$work/bench.csv" 2>"$work/bench.err" || { cat "$work/bench.err" >&2; exit 1; }
# Milliseconds of the median of a benchmark: column 3 is real time, 4 is CPU time.
result() { awk -F, -v name="\"$1_median\"" -v column="$2" '$1 == name { printf "%.2f\n", $column }' "$work/bench.csv"; }

# pgrep -x for one name, as a script would call it: its start included. Median of 11.
pgrep_runs=$(for _ in $(seq 11); do timed pgrep -x BonTsDemux.exe; done)
pgrep_ms=$(cut -d' ' -f1 <<<"$pgrep_runs" | median)
pgrep_cpu=$(cut -d' ' -f2 <<<"$pgrep_runs" | median)

# Tassik's 10,000 renames against the C loop, five of each, taking turns, each on a new
# folder; Tassik writes its log as it always does.
tassik_runs=()
loop_runs=()
for _ in $(seq 5); do
  rm -rf "$work/rename" "$work/tassik-rename/tassik.log"
  make_files "$work/rename" '番組 %g.ts' 10000
  tassik_runs+=("$(cd "$work/tassik-rename" && timed "$bin/tassik" --headless)")
  [ -z "$(ls "$work/rename" | grep ' ')" ] || { echo "tassik left names unrenamed" >&2; exit 1; }
  rm -rf "$work/rename"
  make_files "$work/rename" '番組 %g.ts' 10000
  loop_runs+=("$(timed "$bench/renameat_loop" "$work/rename")")
done
tassik_ms=$(printf '%s\n' "${tassik_runs[@]}" | cut -d' ' -f1 | median)
tassik_cpu=$(printf '%s\n' "${tassik_runs[@]}" | cut -d' ' -f2 | median)
loop_ms=$(printf '%s\n' "${loop_runs[@]}" | cut -d' ' -f1 | median)
loop_cpu=$(printf '%s\n' "${loop_runs[@]}" | cut -d' ' -f2 | median)

# An idle headless engine: how often it wakes in 10 s, after two seconds to settle.
idle() {
  local program=$1 folder=$2 pid a b
  (cd "$folder" && exec "$bin/$program" --headless --no-log >"$work/$program.out" 2>&1) &
  pid=$!
  echo "$pid" >>"$work/started"
  sleep 2
  a=$(switches "$pid")
  sleep 10
  b=$(switches "$pid")
  kill -TERM "$pid"
  wait "$pid" || true
  echo $((b - a))
}

# How often the engine's event loop went to sleep in the same 10 s, counted under strace:
# every wakeup, by a timer or otherwise, ends one wait (one poll with a timeout) and
# starts the next. Blocking inside a step (such as on another process's memory while
# its command line is read) is not counted here, while the context switches above count it.
loop_waits() {
  local program=$1 folder=$2 pid child start
  start=$EPOCHREALTIME
  (cd "$folder" && exec strace -f -ttt -e trace=poll,ppoll -o "$work/$program.trace" \
    "$bin/$program" --headless --no-log >/dev/null 2>&1) &
  pid=$!
  echo "$pid" >>"$work/started"
  sleep 1
  child=$(pgrep -P "$pid")
  echo "$child" >>"$work/started"
  sleep 11.5
  kill -TERM "$child"
  wait "$pid" || true
  awk -v from="$start" '
    { t = $2 - from }
    t >= 2 && t < 12 && match($0, /poll\(.*, -?[0-9]+(\)| <unfinished)/) {
      call = substr($0, RSTART, RLENGTH); sub(/(\)| <unfinished)$/, "", call); sub(/.*, /, "", call)
      if (call != 0) waits++
    }
    END { print waits + 0 }' "$work/$program.trace"
}

# A window opening (offscreen) until its first paint: time and peak memory, median of 5.
window() {
  local program=$1 folder=$2 times=() kbs=() s
  for _ in $(seq 5); do
    s=$EPOCHREALTIME
    if ! (cd "$folder" && CHAIN_QUIT_WHEN_SHOWN=1 QT_QPA_PLATFORM=offscreen \
      /usr/bin/time -f %M -o "$work/peak" "$bin/$program" >/dev/null 2>&1); then
      echo "none"
      return
    fi
    times+=("$(ms_since "$s")")
    kbs+=("$(cat "$work/peak")")
  done
  echo "$(printf '%s\n' "${times[@]}" | median) $(printf '%s\n' "${kbs[@]}" | median)"
}

echo
row goal measured baseline verdict
row --- --- --- ---
busy_ms=$(result BM_BusyCheck 3)
row "busy check of 3 names, 500 extra processes ≤ one pgrep -x for 1 name" \
  "$busy_ms ms (CPU $(result BM_BusyCheck 4) ms)" "pgrep -x: $pgrep_ms ms (CPU $pgrep_cpu ms)" \
  "$(verdict "$busy_ms" "$pgrep_ms")"
tick_ms=$(result BM_AutoTick 4)
row "Kestrune auto tick, 10,000 files (10 .ts), 500 extra processes ≤ 20 ms CPU" "$tick_ms ms" "" \
  "$(verdict "$tick_ms" 20)"
folder_ms=$(result BM_AutoTickFolderPart 4)
row "… its folder part ≤ 10 ms CPU" "$folder_ms ms" "" "$(verdict "$folder_ms" 10)"
row "Tassik 10,000 renames ≤ 1.2 × C renameat loop (medians of 5, taking turns)" \
  "$tassik_ms ms = $(ratio "$tassik_ms" "$loop_ms") × (CPU $tassik_cpu ms = $(ratio "$tassik_cpu" "$loop_cpu") ×)" \
  "C loop: $loop_ms ms (CPU $loop_cpu ms)" "$(verdict "$(ratio "$tassik_ms" "$loop_ms")" 1.2)"
preview_ms=$(result BM_Preview 3)
row "Tassik preview of 10,000 names ≤ 100 ms per edit" "$preview_ms ms" "" "$(verdict "$preview_ms" 100)"
# Idle headless engines, from 2 s to 12 s after their start.
idle_row() {
  local program=$1 due=$2 when=$3 switches waits
  [ -x "$bin/$program" ] || return 0
  switches=$(idle "$program" "$work/$program")
  waits=$(loop_waits "$program" "$work/$program")
  row "headless $program idle for 10 s ($when): ≤ 1 wakeup per due tick ($due due)" \
    "$waits event-loop wakeups, $switches voluntary context switches" "" "$(verdict "$waits" "$due")"
}
idle_row kestrune 2 "a check every 5 s"
idle_row pellavo 1 "its first tick 10.44 s after start"
idle_row orvane 1 "its first tick 10 s after start"
for program in kestrune pellavo orvane tassik; do
  [ -x "$bin/$program" ] || continue
  folder=$work/$program
  [ "$program" = tassik ] && folder=$work/tassik-preview
  read -r start_ms peak_kb <<<"$(window "$program" "$folder") "
  if [ "$start_ms" = none ]; then
    row "$program window start ≤ 150 ms, ≤ 40 MB peak" "no window yet" "" ""
    continue
  fi
  peak_mb=$(awk -v k="$peak_kb" 'BEGIN { printf "%.1f\n", k / 1024 }')
  row "$program window start ≤ 150 ms, ≤ 40 MB peak (offscreen)" "$start_ms ms, $peak_mb MB" "" \
    "time $(verdict "$start_ms" 150), memory $(verdict "$peak_mb" 40)"
done
echo
echo "load average after: $(cut -d' ' -f1-3 /proc/loadavg)"
