#!/usr/bin/env bash
# The Windows build, made and tested on Linux with MinGW-w64 and Wine, in a Wine prefix of its
# own that is removed afterwards:
#  1. the platform layer, its tests and the stand-ins, without Qt (CHAIN_PLATFORM_ONLY), into
#     build-win-platform/, its tests run under Wine;
#  2. Qt for Windows (scripts/build-qt-mingw.sh; a cached build is used as it is);
#  3. the whole chain against it into build-win/: the four programs, the stand-ins and the
#     tests, with Qt's DLLs, MinGW's runtime DLLs and the platform plugins copied beside the
#     programs and the tests, as windeployqt would, so that build-win/bin/*.exe start as they are;
#  4. under Wine: every test that can run there (docs/windows-tests.md lists the others), each
#     program's window opened on the offscreen platform, and a headless run of the chain through
#     a workspace of Windows paths (scripts/windows-chain.sh).
# Each part prints how long it took. CHAIN_WINDOWS_PLATFORM_ONLY=1 stops after part 1.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
CHAIN_WITH_WINDOWS=1
source scripts/deps.sh
jobs="$(nproc)"
timed() {
  local began=$SECONDS
  "$@"
  echo "== windows: $1 took $((SECONDS - began)) s"
}

WINEPREFIX="$(mktemp -d)"
export WINEPREFIX WINEDEBUG=-all
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver)
trap '"$wineserver" -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT

platform_only() {
  cmake -S . -B build-win-platform -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
    -DCHAIN_PLATFORM_ONLY=ON -DCMAKE_BUILD_TYPE=Release -DCHAIN_WERROR=ON >/dev/null
  cmake --build build-win-platform -j"$jobs"
  (cd build-win-platform && ctest --output-on-failure)
}
timed platform_only
if [ "${CHAIN_WINDOWS_PLATFORM_ONLY:-0}" = 1 ]; then
  exit 0
fi

qt="${CHAIN_QT_MINGW:-/var/cache/chain-qt-mingw}"
export CHAIN_QT_MINGW="$qt"
timed scripts/build-qt-mingw.sh

# Puts beside the Windows programs of a folder what they need to run, where windeployqt puts
# it: Qt's DLLs, the platform plugins, MinGW's C++ runtime and Qt's Japanese texts (Qt takes a
# folder that holds Qt6Core.dll beside the program as its prefix).
deploy() {
  local folder="$1" gcc_dir
  gcc_dir="$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")"
  mkdir -p "$folder/platforms" "$folder/translations"
  cp "$qt"/bin/Qt6{Core,Gui,Widgets,Test}.dll "$folder/"
  cp "$qt"/plugins/platforms/q{windows,offscreen,minimal}.dll "$folder/platforms/"
  cp "$gcc_dir"/{libstdc++-6,libgcc_s_seh-1}.dll /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$folder/"
  cp "$qt/translations/qtbase_ja.qm" "$folder/translations/"
}

build() {
  "$qt/bin/qt-cmake" -S . -B build-win -G Ninja -DQT_CHAINLOAD_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCHAIN_WERROR=ON >/dev/null
  cmake --build build-win -j"$jobs"
  deploy build-win/bin
  deploy build-win/tests
}
timed build

# The tests under Wine. The ones that watch processes lock each other out, so they run one at
# a time; the others beside them. The rows that can't run on Windows or under Wine skip
# themselves there (docs/windows-tests.md lists them).
wine_tests() {
  (cd build-win && ctest -j"$jobs" --output-on-failure)
}
timed wine_tests

# What a program prints to a console (Wine's, on a terminal that script makes) is its text,
# not its UTF-8 bytes read in the console's code page. Wine's console moves the cursor
# instead of writing blanks, so the escape sequences and blanks are left out of the check.
console_text() {
  local shown
  shown="$(cd build-win/bin && script -qec "wine kestrune.exe --version" /dev/null | sed 's/\x1b\[[0-9;?]*[a-zA-Z]//g' | tr -d ' ')"
  if ! grep -q 'Kestruneバージョン' <<<"$shown"; then
    echo "windows: kestrune --version on a console printed: $shown" >&2
    return 1
  fi
  echo "windows: a console shows the Japanese text"
}
timed console_text

# Qt's variables for the Windows programs started below (Wine hands WINEQT_x on as QT_x):
# the offscreen platform, drawing text with a Japanese font, its messages on standard error.
WINEQT_QPA_FONTDIR="$(dirname "$(fc-match -f '%{file}' 'IPAGothic:lang=ja')")"
export WINEQT_QPA_PLATFORM=offscreen WINEQT_FORCE_STDERR_LOGGING=1 WINEQT_QPA_FONTDIR

# Each program's window, on the offscreen platform, in a program folder of its own with what
# it needs to start (Kestrune its demuxer, Pellavo its job patterns): it opens, is painted,
# and the program ends by itself (CHAIN_QUIT_WHEN_SHOWN). A message box instead (its text on
# standard error as "[title] text") fails.
windows_open() {
  local program folder
  for program in kestrune pellavo orvane tassik; do
    folder="$(mktemp -d)"
    cp build-win/tools/BonTsDemux.exe "$folder/"
    mkdir "$folder/Set Jobs" && cp m2vjobs/patterns/*.jobs "$folder/Set Jobs/"
    if ! (cd "$folder" && CHAIN_QUIT_WHEN_SHOWN=1 timeout 120 wine "$root/build-win/bin/$program.exe") \
      2>"$folder.err" || grep -q '^\[' "$folder.err"; then
      echo "windows: $program's window did not open and close by itself" >&2
      cat "$folder.err" >&2
      return 1
    fi
    rm -rf "$folder" "$folder.err"
    echo "windows: $program's window opened"
  done
}
timed windows_open

timed scripts/windows-chain.sh "$root/build-win"
