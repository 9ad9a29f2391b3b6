#!/usr/bin/env bash
# Builds the chain, makes a demo workspace with a short broadcast-style recording (MPEG-2
# video at 29.97 frames a second, stereo sound) that ffmpeg generates, lets Tassik clean up
# its name, lets Kestrune demux it headless in individual mode through the ffmpeg-backed
# BonTsDemux.exe, then lets Pellavo turn the .m2v/.wav pair into an .avi through the
# ffmpeg-backed VirtualDub.exe, and Orvane run two ready-made jobs files through the same
# VirtualDub.exe. It ends with the .avi's frame count next to the one Pellavo computed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/build.sh
root="$PWD"
ws="$root/demo-workspace"
rm -rf "$ws"
mkdir -p "$ws/tassik" "$ws/kestrune" "$ws/recordings" "$ws/converted" "$ws/output" \
  "$ws/pellavo/Set Jobs" "$ws/virtualdub" "$ws/avi" "$ws/m2v-done" \
  "$ws/orvane" "$ws/jobs" "$ws/jobs-done" "$ws/clips"
# The tools are linked into the folders where the programs look for them, as an install does.
ln -s "$root/build/tools/ffmpeg/BonTsDemux.exe" "$ws/kestrune/"
ln -s "$root/build/tools/ffmpeg/VirtualDub.exe" "$ws/virtualdub/"
# make SECONDS FILE: a test picture at 29.97 frames a second with a stereo tone, as ffmpeg writes FILE.
make() {
  ffmpeg -nostdin -v error -f lavfi -i "testsrc2=size=720x480:rate=30000/1001:duration=$1" \
    -f lavfi -i "aevalsrc=exprs=0.2*sin(440*2*PI*t)|0.2*sin(660*2*PI*t):c=stereo:s=48000:d=$1" \
    -c:v mpeg2video -b:v 4M -g 15 -c:a aac -b:a 192k "${@:3}" "file:$2"
}
make 6 "$ws/recordings/朝の ニュース!.ts" -f mpegts

# Kestrune's settings file: individual mode, the three folders, a 2 s interval, the
# default character table. Written in cp932 with CR LF, as Kestrune writes it.
printf '%s\r\n' 1 "$ws/recordings" "$ws/converted" "$ws/output" 2 'Demux(m2v+wav)' 0 0 0 0 1 120 0 1 \
  '"!?#&~/."' '"！？\＆～／,"' | iconv -f UTF-8 -t CP932 >"$ws/kestrune/KestruneData1.txt"

# Tassik's settings file: the recordings folder, and a table that turns blanks into "_".
printf '%s\r\n' "$ws/recordings" '" "' '"_"' | iconv -f UTF-8 -t CP932 >"$ws/tassik/Tassik_Data1.txt"

# Pellavo's settings file: Kestrune's output is its m2v folder; the .avi go to avi/, the
# finished .m2v and .wav to m2v-done/ (delete flag 0); a 20 s interval; 29.97 frames a
# second. And the two job patterns of its default table, in its "Set Jobs" folder.
printf '%s\r\n' "$ws/output" "$ws/avi" "$ws/m2v-done" "$ws/virtualdub" 0 20 1 1 |
  iconv -f UTF-8 -t CP932 >"$ws/pellavo/Pellavo_Data1.txt"
cp "$root/m2vjobs/patterns/"*.jobs "$ws/pellavo/Set Jobs/"

# Orvane's settings file: the same VirtualDub folder, its jobs folder, the folder the
# jobs files are moved to once VirtualDub has them (delete option 0), and the close option
# on, so that it ends by itself. And two ready-made jobs files, each turning the first 45
# frames of a clip of its own, with the clip's sound, into an .avi; a line after "// $done"
# is never handed to VirtualDub.
printf '%s\r\n' "$ws/virtualdub" "$ws/jobs" "$ws/jobs-done" 0 1 | iconv -f UTF-8 -t CP932 >"$ws/orvane/Orvane_Data.txt"
for name in 'ニュース特集' 'drama'; do
  make 2 "$ws/clips/$name.m2v" -map 0:v
  make 2 "$ws/clips/$name.wav" -map 1:a -c:a pcm_s16le
  printf '%s\r\n' '// VirtualDub job list' '// $numjobs 1' '// $job "Job 1"' "// \$input \"$ws/clips/$name.m2v\"" \
    "// \$output \"$ws/avi/$name.avi\"" "VirtualDub.Open(\"$ws/clips/$name.m2v\",\"\",0);" \
    "VirtualDub.audio.SetSource(\"$ws/clips/$name.wav\",\"\");" 'VirtualDub.subset.AddRange(0,45);' \
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
echo "== The job list Pellavo wrote:"; iconv -f CP932 -t UTF-8 "$ws/virtualdub/VirtualDub.jobs" | tr -d '\r'
computed=$(iconv -f CP932 -t UTF-8 "$ws/virtualdub/VirtualDub.jobs" |
  sed -n 's/^VirtualDub\.subset\.AddRange(0,\([0-9]*\));.*/\1/p')
pellavo_avi=("$ws/avi/"*.avi)
echo "== Videos:"; ls -l "$ws/avi"
echo "== Filed away after VirtualDub:"; ls -1 "$ws/m2v-done"
echo "== Left in the m2v folder:"; ls -1 "$ws/output"
echo "== orvane --headless (start folder $ws/orvane)"
(cd "$ws/orvane" && "$root/build/bin/orvane" --headless --time-scale 0.1)
echo "== The last job list Orvane handed over:"; iconv -f CP932 -t UTF-8 "$ws/virtualdub/VirtualDub.jobs" | tr -d '\r'
echo "== Jobs files filed away:"; ls -1 "$ws/jobs-done"
echo "== Videos:"; ls -l "$ws/avi"

counted=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames \
  -of default=nw=1:nk=1 "file:${pellavo_avi[0]}")
echo "== Frames of $(basename "${pellavo_avi[0]}"): ffprobe counts $counted, Pellavo computed $computed from the .wav"
