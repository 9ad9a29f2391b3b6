#!/usr/bin/env bash
# Builds the chain, makes a demo workspace with a few recordings and the stand-in
# demuxer, lets Tassik clean up the recordings' names, then lets Kestrune convert them
# headless in individual mode.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
root="$PWD"
ws="$root/demo-workspace"
rm -rf "$ws"
mkdir -p "$ws/tassik" "$ws/kestrune" "$ws/recordings" "$ws/converted" "$ws/output"
cp build/tools/BonTsDemux.exe "$ws/kestrune/"
echo 1 >"$ws/kestrune/BonTsDemux.seconds" # each demux "takes" one second
for name in '番組!' 'A#B' 'news' 'ドラマ~第1話' '朝の ニュース'; do
  head -c 200000 /dev/urandom >"$ws/recordings/$name.ts"
done
echo 90000 >"$ws/recordings/news.ts.ms" # the stand-in writes 90 s of audio for this one

# Kestrune's settings file: individual mode, the three folders, a 2 s interval, the
# default character table. Written in cp932 with CR LF, as Kestrune writes it.
printf '%s\r\n' 1 "$ws/recordings" "$ws/converted" "$ws/output" 2 'Demux(m2v+wav)' 0 0 0 0 1 120 0 1 \
  '"!?#&~/."' '"！？\＆～／,"' | iconv -f UTF-8 -t CP932 >"$ws/kestrune/KestruneData1.txt"

# Tassik's settings file: the recordings folder, and a table that turns blanks into "_".
printf '%s\r\n' "$ws/recordings" '" "' '"_"' | iconv -f UTF-8 -t CP932 >"$ws/tassik/Tassik_Data1.txt"

echo "== Recordings before:"; ls -1 "$ws/recordings"
echo "== tassik --headless (program folder $ws/tassik)"
(cd "$ws/tassik" && "$root/build/bin/tassik" --headless)
echo "== kestrune --headless (program folder $ws/kestrune)"
(cd "$ws/kestrune" && "$root/build/bin/kestrune" --headless --time-scale 0.5)
echo "== Recordings left:"; ls -1 "$ws/recordings"
echo "== Filed away after conversion:"; ls -1 "$ws/converted"
echo "== Demuxer output:"; ls -l "$ws/output"
