#!/usr/bin/env bash
# Pictures of the four programs' main windows as built for Windows (build-win/, made by
# scripts/test-windows.sh), drawn by Qt's windows platform plugin under Wine on a virtual X
# screen (Xvfb), in a Wine prefix of its own whose dialog fonts ("MS Shell Dlg", "MS Shell
# Dlg 2") and Japanese UI fonts are substituted with a Japanese font that Wine finds through
# fontconfig. Writes docs/windows-<program>.png, or docs/windows-<program>-150.png at 150 %
# (Wine's LogPixels 144) with SCALE=150.
#
# Usage: [SCALE=150] scripts/windows-screenshots.sh   (needs xvfb, imagemagick, fonts-ipafont-gothic)
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
scale="${SCALE:-100}"
suffix=""
[ "$scale" = 100 ] || suffix="-$scale"
font="${CHAIN_SCREENSHOT_FONT:-IPAGothic}"

WINEPREFIX="$(mktemp -d)"
export WINEPREFIX WINEDEBUG=-all LC_ALL=C.UTF-8
work="$(mktemp -d)"
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
xvfb=""
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT

display=":$((90 + RANDOM % 100))"
Xvfb "$display" -screen 0 1200x860x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$display"
sleep 1

wine cmd.exe /c exit 0 >/dev/null 2>&1
substitutes='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
for face in "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "Yu Gothic UI" "Meiryo UI" "Tahoma"; do
  wine reg add "$substitutes" /v "$face" /d "$font" /f >/dev/null 2>&1
done
if [ "$scale" != 100 ]; then
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d $((96 * scale / 100)) /f >/dev/null 2>&1
fi
"$wineserver" -w

# A program folder for each, with settings whose folders have Japanese names, so that the
# windows show them.
cp932() { iconv -f UTF-8 -t CP932; }
lines() { printf '%s\r\n' "$@"; }
for program in tassik kestrune pellavo orvane; do mkdir -p "$work/$program"; done
(cd "$WINEPREFIX/drive_c" && mkdir -p 録画/変換済み 分離/済み 動画 VirtualDub ジョブ/済み)
printf 'x' >"$WINEPREFIX/drive_c/録画/朝の ニュース.ts"
mkdir -p "$work/pellavo/Set Jobs"
cp m2vjobs/patterns/*.jobs "$work/pellavo/Set Jobs/"
cp build-win/tools/BonTsDemux.exe "$work/kestrune/"
lines 'C:\録画' '" "' '"_"' | cp932 >"$work/tassik/Tassik_Data1.txt"
lines 1 'C:\録画' 'C:\録画\変換済み' 'C:\分離' 2 'Demux(m2v+wav)' 0 0 0 0 1 120 0 1 '"!?#&~/."' '"！？\＆～／,"' |
  cp932 >"$work/kestrune/KestruneData1.txt"
lines 'C:\分離' 'C:\動画' 'C:\分離\済み' 'C:\VirtualDub' 0 20 1 1 | cp932 >"$work/pellavo/Pellavo_Data1.txt"
lines 'C:\VirtualDub' 'C:\ジョブ' 'C:\ジョブ\済み' 0 0 | cp932 >"$work/orvane/Orvane_Data.txt"

for program in kestrune pellavo orvane tassik; do
  (cd "$work/$program" && exec wine explorer "/desktop=shot,1200x860" "$root/build-win/bin/$program.exe") \
    >/dev/null 2>&1 &
  started=$!
  sleep "${CHAIN_SCREENSHOT_WAIT:-8}"
  import -window root "$work/$program.png"
  kill "$started" 2>/dev/null || true
  "$wineserver" -k 2>/dev/null || true
  wait "$started" 2>/dev/null || true
  # The virtual desktop's plain background cut away: the window with its caption bar.
  convert "$work/$program.png" -trim +repage "docs/windows-$program$suffix.png"
  echo "docs/windows-$program$suffix.png"
done
