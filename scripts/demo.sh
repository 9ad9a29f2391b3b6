#!/usr/bin/env bash
# Builds the chain, makes a demo workspace with a few recordings and the stand-in
# demuxer and video processor, lets Tassik clean up the recordings' names, lets Kestrune
# demux them headless in individual mode, then lets Pellavo turn each .m2v/.wav pair
# into an .avi through the stand-in VirtualDub, and Orvane run two ready-made jobs files
# through the same VirtualDub.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
root="$PWD"
ws="$root/demo-workspace"
rm -rf "$ws"
mkdir -p "$ws/tassik" "$ws/kestrune" "$ws/recordings" "$ws/converted" "$ws/output" \
  "$ws/pellavo/Set Jobs" "$ws/virtualdub" "$ws/avi" "$ws/m2v-done" \
  "$ws/orvane" "$ws/jobs" "$ws/jobs-done" "$ws/clips"
cp build/tools/BonTsDemux.exe "$ws/kestrune/"
echo 1 >"$ws/kestrune/BonTsDemux.seconds" # each demux "takes" one second
cp build/tools/VirtualDub.exe "$ws/virtualdub/"
echo 1 >"$ws/virtualdub/VirtualDub.seconds" # and each VirtualDub job one second
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

# Pellavo's settings file: Kestrune's output is its m2v folder; the .avi go to avi/, the
# finished .m2v and .wav to m2v-done/ (delete flag 0); a 20 s interval. And the two job
# patterns of its default table, in its "Set Jobs" folder.
printf '%s\r\n' "$ws/output" "$ws/avi" "$ws/m2v-done" "$ws/virtualdub" 0 20 1 1 |
  iconv -f UTF-8 -t CP932 >"$ws/pellavo/Pellavo_Data1.txt"
for size in '1280X720 (2,5) 4-8-8-4' 'NoResize (3) 0-0-0-0'; do
  printf '%s\r\n' '// VirtualDub job list' '// $signature virtualdub' '// $numjobs 1' '//' \
    '// $job "Job 1"' '// $input "C:\rec\sample.m2v"' '// $output "C:\avi\sample.avi"' '// $script' \
    'VirtualDub.Open("C:\\rec\\sample.m2v","",0);' 'VirtualDub.subset.AddRange(0,100);' \
    'VirtualDub.video.SetRangeFrames(0,100);' 'VirtualDub.SaveAVI("C:\\avi\\sample.avi");' \
    'VirtualDub.Close();' '// $endjob' '// $done' >"$ws/pellavo/Set Jobs/DivX $size same.jobs"
done

# Orvane's settings file: the same VirtualDub folder, its jobs folder, the folder the
# jobs files are moved to once VirtualDub has them (delete option 0), and the close option
# on, so that it ends by itself. And two ready-made jobs files, each turning a clip of its
# own into an .avi; a line after "// $done" is never handed to VirtualDub.
printf '%s\r\n' "$ws/virtualdub" "$ws/jobs" "$ws/jobs-done" 0 1 | iconv -f UTF-8 -t CP932 >"$ws/orvane/Orvane_Data.txt"
for name in 'ニュース特集' 'drama'; do
  head -c 100000 /dev/urandom >"$ws/clips/$name.m2v"
  printf '%s\r\n' '// VirtualDub job list' '// $numjobs 1' '// $job "Job 1"' "// \$input \"$ws/clips/$name.m2v\"" \
    "// \$output \"$ws/avi/$name.avi\"" "VirtualDub.Open(\"$ws/clips/$name.m2v\",\"\",0);" \
    "VirtualDub.SaveAVI(\"$ws/avi/$name.avi\");" '// $endjob' '// $done' "VirtualDub.SaveAVI(\"$ws/avi/never.avi\");" |
    iconv -f UTF-8 -t CP932 >"$ws/jobs/$name.jobs"
done

echo "== Recordings before:"; ls -1 "$ws/recordings"
echo "== tassik --headless (program folder $ws/tassik)"
(cd "$ws/tassik" && "$root/build/bin/tassik" --headless)
echo "== kestrune --headless (program folder $ws/kestrune)"
(cd "$ws/kestrune" && "$root/build/bin/kestrune" --headless --time-scale 0.5)
echo "== Recordings left:"; ls -1 "$ws/recordings"
echo "== Filed away after conversion:"; ls -1 "$ws/converted"
echo "== Demuxer output:"; ls -l "$ws/output"
echo "== pellavo --headless --until-idle (start folder $ws/pellavo)"
(cd "$ws/pellavo" && "$root/build/bin/pellavo" --headless --until-idle --time-scale 0.1)
echo "== The last job list Pellavo wrote:"; iconv -f CP932 -t UTF-8 "$ws/virtualdub/VirtualDub.jobs" | tr -d '\r'
echo "== Videos:"; ls -l "$ws/avi"
echo "== Filed away after VirtualDub:"; ls -1 "$ws/m2v-done"
echo "== Left in the m2v folder:"; ls -1 "$ws/output"
echo "== orvane --headless (start folder $ws/orvane)"
(cd "$ws/orvane" && "$root/build/bin/orvane" --headless --time-scale 0.1)
echo "== The last job list Orvane handed over:"; iconv -f CP932 -t UTF-8 "$ws/virtualdub/VirtualDub.jobs" | tr -d '\r'
echo "== Jobs files filed away:"; ls -1 "$ws/jobs-done"
echo "== Videos:"; ls -l "$ws/avi"
