#!/usr/bin/env bash
# Measures the chain's hot paths and prints a table of each goal, what was measured and
# the baseline beside it (bench/README.md keeps a copy of a run). Builds first.
#
# Each figure and its baseline are measured in rounds (BENCH_ROUNDS, 7 by default): in
# every round each measurement runs once, in an order that moves on by one place from
# round to round, so that no measurement always runs first or right after a given other
# one. A row shows the median of the rounds and their spread (lowest–highest); a ratio
# or difference to a baseline is taken within each round, then its median and spread.
#
# Makes, and removes whatever happens: 500 extra processes; folders of 1,000, 10,000 and
# 100,000 files for Kestrune's scan (empty .ts recordings, waiting for ever, so that
# every tick does the same work), Pellavo's and Orvane's folders and Tassik's preview;
# a fresh folder of 10,000 names for each of Tassik's renaming runs; a program folder for
# each program. The machine should be otherwise quiet: the load average is printed
# before and after.
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
rounds=${BENCH_ROUNDS:-7}
sizes=(1000 10000 100000)

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

# Median, lowest and highest of numbers, one a line: "MEDIAN LOW HIGH". Rounds that gave
# no number ("nan") are left out.
stats() {
  awk '$1 != "nan"' | sort -g | awk '{ v[NR] = $1 } END { printf "%s %s %s\n", v[int((NR + 1) / 2)], v[1], v[NR] }'
}
# "M ms (L–H)" of a stats line, with a unit.
shown() { awk -v u="$2" '{ printf "%.2f%s (%.2f–%.2f)\n", $1, u, $2, $3 }' <<<"$1"; }
ms_since() { awk -v s="$1" -v e="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (e - s) * 1000 }'; }
# Runs a command and prints "WALL CPU" in ms (CPU: user + system, from getrusage).
timed() {
  local TIMEFORMAT='%3R %3U %3S' times
  times=$({ time "$@" >/dev/null 2>&1; } 2>&1 || true)
  awk '{ printf "%.1f %.1f\n", $1 * 1000, ($2 + $3) * 1000 }' <<<"$times"
}
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
    [ -r "$status" ] || continue
    total=$((total + $(awk '/^voluntary_ctxt_switches/ { print $2 }' "$status")))
  done
  echo "$total"
}
# One row of the table.
row() { printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"; }

echo "machine: $(nproc) cores, $(awk -F': ' '/^model name/ { print $2; exit }' /proc/cpuinfo), Linux $(uname -r)"
echo "build: $build"
echo "load average before: $(cut -d' ' -f1-3 /proc/loadavg)"

# The folders and program folders.
make_files "$work/scan" 'recording %g.m2v' 9990
make_files "$work/scan" '番組 %g.ts' 10
for n in "${sizes[@]}"; do
  make_files "$work/waiting/$n" '番組 %g.ts' "$n"
  make_files "$work/files/$n" 'recording %g.avi' "$n"
  make_files "$work/names/$n" '番組 %g.ts' "$n"
  mkdir -p "$work/tassik-preview/$n"
  settings "$work/tassik-preview/$n/Tassik_Data1.txt" "$work/names/$n" '" "' '"_"'
done
mkdir -p "$work/kestrune/done" "$work/kestrune/out" "$work/pellavo"/{m2v,avi,done,vd} "$work/orvane"/{vd,jobs,moved} \
  "$work/tassik-rename" "$work/tassik-empty" "$work/empty"
cp "$build/tools/BonTsDemux.exe" "$work/kestrune/"
# Auto mode over the scan folder, a check every 20 s (the shortest it takes).
settings "$work/kestrune/KestruneData1.txt" 0 "$work/scan" "$work/kestrune/done" "$work/kestrune/out" 20 \
  'Demux(m2v+wav)' 0 0 0 0 1 20 0 0 '"!?"' '"！？"'
# Pellavo's folders, a check every 30 s; Orvane's, staying when no jobs file is left
# (close option off).
settings "$work/pellavo/Pellavo_Data1.txt" "$work/pellavo/m2v" "$work/pellavo/avi" "$work/pellavo/done" \
  "$work/pellavo/vd" 1 30 1 1
settings "$work/orvane/Orvane_Data.txt" "$work/orvane/vd" "$work/orvane/jobs" "$work/orvane/moved" 0 0
settings "$work/tassik-rename/Tassik_Data1.txt" "$work/rename" '" "' '"_"'
settings "$work/tassik-empty/Tassik_Data1.txt" "$work/empty" '" "' '"_"'
sleep 3 # the folders' times settle: Kestrune relies on a listing only once they have

for _ in $(seq 500); do
  sleep 3600 &
  extra+=($!)
done

# The measurements of one round, each printing one line of numbers (ms) into
# $work/results/NAME, one line per round.
export CHAIN_BENCH_SCAN=$work/scan CHAIN_BENCH_WAITING=$work/waiting CHAIN_BENCH_FILES=$work/files \
  CHAIN_BENCH_TASSIK=$work/tassik-preview
# A benchmark of chain_bench: "REAL CPU" in ms per iteration.
benchmark() {
  "$bench/chain_bench" --benchmark_filter="^$1\$" --benchmark_min_time=0.2 --benchmark_format=csv \
    2>"$work/bench.err" | awk -F, -v name="\"$1\"" '$1 == name && $2 > 0 { printf "%.3f %.3f\n", $3, $4 }'
}
renames() {
  rm -rf "$work/rename" "$work/tassik-rename/tassik.log"
  make_files "$work/rename" '番組 %g.ts' 10000
  case $1 in
  tassik) (cd "$work/tassik-rename" && timed "$bin/tassik" --headless) ;;
  loop) timed "$bench/renameat_loop" "$work/rename" ;;
  esac
  if ls "$work/rename" | grep -q ' '; then
    echo "$1 left names unrenamed" >&2
    exit 1
  fi
}
measure() {
  case $1 in
  pgrep) timed pgrep -x BonTsDemux.exe ;;
  tassik | loop) renames "$1" ;;
  tassik-empty) (cd "$work/tassik-empty" && timed "$bin/tassik" --headless) ;;
  loop-empty) timed "$bench/renameat_loop" "$work/empty" ;;
  *) benchmark "$1" ;;
  esac
}
jobs=(BM_BusyCheck pgrep BM_AutoTick BM_AutoTickFolderPart BM_AutoTickAllWaiting/10000 BM_AutoTickWindow/10000
  tassik loop tassik-empty loop-empty BM_PellavoTick/10000 BM_OrvaneTick/10000)
for n in "${sizes[@]}"; do
  jobs+=(BM_AutoTickAllWaitingFolderPart/$n BM_StatFloor/$n BM_PellavoTickFolderPart/$n BM_OrvaneTickFolderPart/$n
    BM_Preview/$n)
done
mkdir -p "$work/results"
for round in $(seq 0 $((rounds - 1))); do
  count=${#jobs[@]}
  for k in $(seq 0 $((count - 1))); do
    job=${jobs[$(((k + round) % count))]}
    result=$(measure "$job")
    # A benchmark that stopped with an error (a tool of another program running, which
    # a tick waits for) gives no number in this round.
    if [ -z "$result" ]; then
      echo "no result for $job in round $((round + 1)):" >&2
      cat "$work/bench.err" >&2
      result="nan nan"
    fi
    echo "$result" >>"$work/results/${job//\//_}"
  done
done

# Column C (1: real or wall time, 2: CPU time) of a measurement, one line per round.
column() { awk -v c="$2" '{ print $c }' "$work/results/${1//\//_}"; }
# Stats of a measurement's column.
of() { column "$1" "$2" | stats; }
# Per round: A's column divided by B's (op /) or minus B's (op -); their stats.
paired() {
  paste <(column "$1" "$3") <(column "$2" "$3") |
    awk -v op="$4" '$1 == "nan" || $2 == "nan" { print "nan"; next } { print (op == "/" ? $1 / $2 : $1 - $2) }' | stats
}
median_of() { cut -d' ' -f1 <<<"$1"; }
highest_of() { cut -d' ' -f3 <<<"$1"; }

echo
echo "$rounds rounds; median (lowest–highest) of the rounds"
echo
row goal measured baseline verdict
row --- --- --- ---
busy=$(of BM_BusyCheck 1)
pgrep=$(of pgrep 1)
row "busy check of 3 names, 500 extra processes ≤ one pgrep -x for 1 name" \
  "$(shown "$busy" " ms") (CPU $(shown "$(of BM_BusyCheck 2)" " ms"))" \
  "pgrep -x: $(shown "$pgrep" " ms") (CPU $(shown "$(of pgrep 2)" " ms"))" \
  "$(verdict "$(median_of "$(paired BM_BusyCheck pgrep 1 /)")" 1)"
tick=$(of BM_AutoTick 2)
row "Kestrune auto tick, 10,000 files (10 .ts), 500 extra processes ≤ 20 ms CPU" "$(shown "$tick" " ms")" "" \
  "$(verdict "$(median_of "$tick")" 20)"
folder=$(of BM_AutoTickFolderPart 2)
row "… its folder part ≤ 10 ms CPU" "$(shown "$folder" " ms")" "" "$(verdict "$(median_of "$folder")" 10)"
all=$(of BM_AutoTickAllWaiting/10000 2)
row "Kestrune auto tick, 10,000 waiting .ts, 500 extra processes ≤ 10 ms CPU" "$(shown "$all" " ms")" \
  "one fstatat per file (C): $(shown "$(of BM_StatFloor/10000 2)" " ms")" "$(verdict "$(median_of "$all")" 10)"
allFolder=$(of BM_AutoTickAllWaitingFolderPart/10000 2)
row "… its folder part, against its floor" "$(shown "$allFolder" " ms")" \
  "one fstatat per file (C): $(shown "$(of BM_StatFloor/10000 2)" " ms")" \
  "$(shown "$(paired BM_AutoTickAllWaitingFolderPart/10000 BM_StatFloor/10000 2 /)" " ×") the floor"
window=$(paired BM_AutoTickWindow/10000 BM_AutoTickAllWaitingFolderPart/10000 2 -)
row "Kestrune's window adds ≤ 5 ms CPU per tick (10,000 waiting)" "$(shown "$window" " ms")" \
  "tick without window: $(shown "$allFolder" " ms")" "$(verdict "$(median_of "$window")" 5)"
for program in Pellavo Orvane; do
  t=$(of BM_${program}Tick/10000 2)
  row "$program tick, 10,000 files, 500 extra processes ≤ 10 ms CPU" "$(shown "$t" " ms")" \
    "its folder part: $(shown "$(of BM_${program}TickFolderPart/10000 2)" " ms")" "$(verdict "$(median_of "$t")" 10)"
done
wallRatio=$(paired tassik loop 1 /)
cpuRatio=$(paired tassik loop 2 /)
row "Tassik 10,000 renames ≤ 1.1 × C renameat loop, wall and CPU" \
  "$(shown "$(of tassik 1)" " ms") = $(shown "$wallRatio" " ×") (CPU $(shown "$(of tassik 2)" " ms") = $(shown "$cpuRatio" " ×"))" \
  "C loop: $(shown "$(of loop 1)" " ms") (CPU $(shown "$(of loop 2)" " ms"))" \
  "wall $(verdict "$(median_of "$wallRatio")" 1.1), CPU $(verdict "$(median_of "$cpuRatio")" 1.1); highest round: wall $(verdict "$(highest_of "$wallRatio")" 1.1), CPU $(verdict "$(highest_of "$cpuRatio")" 1.1)"
emptyWall=$(paired tassik-empty loop-empty 1 -)
emptyCpu=$(paired tassik-empty loop-empty 2 -)
row "Tassik over an empty folder within 5 ms of the C loop" \
  "$(shown "$(of tassik-empty 1)" " ms"), +$(shown "$emptyWall" " ms") (CPU $(shown "$(of tassik-empty 2)" " ms"), +$(shown "$emptyCpu" " ms"))" \
  "C loop: $(shown "$(of loop-empty 1)" " ms") (CPU $(shown "$(of loop-empty 2)" " ms"))" \
  "wall $(verdict "$(median_of "$emptyWall")" 5), CPU $(verdict "$(median_of "$emptyCpu")" 5)"
p10=$(of BM_Preview/10000 1)
p100=$(of BM_Preview/100000 1)
row "Tassik preview of 10,000 names ≤ 20 ms per edit" "$(shown "$p10" " ms")" "" "$(verdict "$(median_of "$p10")" 20)"
row "Tassik preview of 100,000 names ≤ 200 ms per edit" "$(shown "$p100" " ms")" "" "$(verdict "$(median_of "$p100")" 200)"
# Growth: each figure at 10,000 and at 100,000 files against the one at 1,000 and 10,000
# files; linear when ×10 files cost at most ×12.
growth() {
  local name=$1 label=$2 col=$3 a b c
  a=$(paired "$name/10000" "$name/1000" "$col" /)
  b=$(paired "$name/100000" "$name/10000" "$col" /)
  row "growth: $label, 1,000 → 10,000 → 100,000 files, linear (×10 files ≤ ×12)" \
    "$(median_of "$(of "$name/1000" "$col")") → $(median_of "$(of "$name/10000" "$col")") → $(median_of "$(of "$name/100000" "$col")") ms" \
    "×$(shown "$a" "") then ×$(shown "$b" "")" \
    "$(verdict "$(median_of "$a")" 12), $(verdict "$(median_of "$b")" 12)"
}
growth BM_AutoTickAllWaitingFolderPart "Kestrune tick's folder part, all waiting (CPU)" 2
growth BM_StatFloor "one fstatat per file in C (CPU)" 2
growth BM_PellavoTickFolderPart "Pellavo tick's folder part (CPU)" 2
growth BM_OrvaneTickFolderPart "Orvane tick's folder part (CPU)" 2
growth BM_Preview "Tassik preview per edit (real time)" 1

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
  if ! kill -TERM "$pid" 2>/dev/null; then
    echo "$program ended before it was measured:" >&2
    cat "$work/$program.out" >&2
    echo "ended"
    return
  fi
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
  child=$(pgrep -P "$pid" || true)
  if [ -z "$child" ]; then
    wait "$pid" || true
    echo "ended"
    return
  fi
  echo "$child" >>"$work/started"
  sleep 11.5
  kill -TERM "$child" 2>/dev/null || true
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
  echo "$(printf '%s\n' "${times[@]}" | stats | cut -d' ' -f1) $(printf '%s\n' "${kbs[@]}" | stats | cut -d' ' -f1)"
}

# Idle headless engines, from 2 s to 12 s after their start.
idle_row() {
  local program=$1 due=$2 when=$3 switches waits
  [ -x "$bin/$program" ] || return 0
  switches=$(idle "$program" "$work/$program")
  waits=$(loop_waits "$program" "$work/$program")
  if [ "$switches" = ended ] || [ "$waits" = ended ]; then
    row "headless $program idle for 10 s ($when): ≤ 1 wakeup per due tick ($due due)" "ended before it was measured" "" "not measured"
    return
  fi
  row "headless $program idle for 10 s ($when): ≤ 1 wakeup per due tick ($due due)" \
    "$waits event-loop wakeups, $switches voluntary context switches" "" "$(verdict "$waits" "$due")"
}
idle_row kestrune 0 "a check every 20 s, the first 20 s after start"
idle_row pellavo 1 "its first tick 10.44 s after start"
idle_row orvane 1 "its first tick 10 s after start"
for program in kestrune pellavo orvane tassik; do
  [ -x "$bin/$program" ] || continue
  folder=$work/$program
  [ "$program" = tassik ] && folder=$work/tassik-preview/10000
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
