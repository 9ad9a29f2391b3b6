#!/usr/bin/env bash
# A headless run of the chain as built for Windows, under Wine: Tassik, Kestrune, Pellavo and
# Orvane (build-win/bin/*.exe) with the Windows stand-ins of BonTsDemux.exe and VirtualDub.exe,
# through a workspace that the programs know only by Windows paths: drive K: (a link in the
# Wine prefix's dosdevices), backslashes, and folder and file names in Japanese. It checks
# that every file ends where it belongs. Uses the Wine prefix in WINEPREFIX (scripts/test-windows.sh
# makes one); without it, one of its own.
#
# Usage: scripts/windows-chain.sh BUILD-DIR
set -euo pipefail
build="$(cd "$1" && pwd)"
own_prefix=""
if [ -z "${WINEPREFIX:-}" ]; then
  own_prefix="$(mktemp -d)"
  export WINEPREFIX="$own_prefix"
fi
export WINEDEBUG=-all
ws="$(mktemp -d)"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
cleanup() {
  rm -rf "$ws" "$WINEPREFIX/dosdevices/k:"
  if [ -n "$own_prefix" ]; then
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$own_prefix"
  fi
}
trap cleanup EXIT

[ -d "$WINEPREFIX/dosdevices" ] || wine cmd.exe /c exit 0 >/dev/null 2>&1
ln -s "$ws" "$WINEPREFIX/dosdevices/k:"

# Settings files and job lists are cp932 with CR LF, as the programs write them.
cp932() { iconv -f UTF-8 -t CP932; }
lines() { printf '%s\r\n' "$@"; }

mkdir -p "$ws"/{tassik,kestrune,録画,変換済み,分離,pellavo/"Set Jobs",virtualdub,avi,分離済み,orvane,ジョブ,ジョブ済み,素材}
cp "$build/tools/BonTsDemux.exe" "$ws/kestrune/"
cp "$build/tools/VirtualDub.exe" "$ws/virtualdub/"
echo 0.2 >"$ws/kestrune/BonTsDemux.seconds"
echo 0.2 >"$ws/virtualdub/VirtualDub.seconds"
printf 'recording bytes' >"$ws/録画/朝の ニュース.ts"

# Tassik: blanks in the recordings' names become "_".
lines 'K:\録画' '" "' '"_"' | cp932 >"$ws/tassik/Tassik_Data1.txt"
# Kestrune: individual mode, the recordings, filed-away and output folders, the default
# character table.
lines 1 'K:\録画' 'K:\変換済み' 'K:\分離' 2 'Demux(m2v+wav)' 0 0 0 0 1 120 0 1 '"!?#&~/."' '"！？\＆～／,"' |
  cp932 >"$ws/kestrune/KestruneData1.txt"
# Pellavo: Kestrune's output is its m2v folder; the .avi go to avi, the finished .m2v and
# .wav to 分離済み; its default job patterns.
lines 'K:\分離' 'K:\avi' 'K:\分離済み' 'K:\virtualdub' 0 20 1 1 | cp932 >"$ws/pellavo/Pellavo_Data1.txt"
cp "$(dirname "$0")/../m2vjobs/patterns/"*.jobs "$ws/pellavo/Set Jobs/"
# Orvane: the same VirtualDub folder, its jobs folder, the folder the jobs files go to once
# VirtualDub has them, and the close option on, so that it ends by itself; one jobs file.
lines 'K:\virtualdub' 'K:\ジョブ' 'K:\ジョブ済み' 0 1 | cp932 >"$ws/orvane/Orvane_Data.txt"
printf 'clip' >"$ws/素材/特集.m2v"
lines '// VirtualDub job list' '// $numjobs 1' '// $job "Job 1"' 'VirtualDub.Open("K:\\素材\\特集.m2v","",0);' \
  'VirtualDub.SaveAVI("K:\\avi\\特集.avi");' '// $endjob' '// $done' | cp932 >"$ws/ジョブ/特集.jobs"

# run PROGRAM SWITCHES...: the program in its folder on K: (Wine takes the working directory
# by its drive), its output shown.
run() {
  local program=$1
  shift
  echo "== $program.exe $*"
  (cd "$ws/$program" && timeout 300 wine "$build/bin/$program.exe" "$@")
}
run tassik --headless
run kestrune --headless --time-scale 0.5
run pellavo --headless --until-idle --time-scale 0.1
run orvane --headless --time-scale 0.1

# Where every file is now, the programs' own files and the tools' folders left out.
found="$(cd "$ws" && find 録画 変換済み 分離 avi 分離済み ジョブ ジョブ済み 素材 -type f | LC_ALL=C sort)"
expected="$(LC_ALL=C sort <<'EOF'
avi/朝の_ニュース.avi
avi/特集.avi
ジョブ済み/特集.jobs
分離済み/朝の_ニュース.m2v
分離済み/朝の_ニュース.wav
変換済み/朝の_ニュース.ts
素材/特集.m2v
EOF
)"
if [ "$found" != "$expected" ]; then
  echo "windows-chain: files are not where they belong. Found:" >&2
  echo "$found" >&2
  echo "Expected:" >&2
  echo "$expected" >&2
  exit 1
fi
echo "windows-chain: every file is where it belongs"
