#!/usr/bin/env bash
# Builds the Qt the Windows build of the programs needs: qtbase from Debian's own source package
# (the same version as the native qt6-base-dev, whose moc, rcc and uic a cross build uses),
# cross-built with MinGW-w64 (posix threads) for 64-bit Windows, with only what the programs
# and their tests use: Core, Gui, Widgets and Test, and the windows, offscreen and minimal
# platform plugins; release, shared libraries. It installs into CHAIN_QT_MINGW (by default
# /var/cache/chain-qt-mingw) and does nothing when a build of the same version and options is
# already there. The source comes through apt with a list of sources of its own (the machine's
# own mirrors, as deb-src) in a private folder: the machine's apt setup stays as it is.
#
# Usage: scripts/build-qt-mingw.sh            (CHAIN_QT_JOBS sets the build's jobs, nproc by default)
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
prefix="${CHAIN_QT_MINGW:-/var/cache/chain-qt-mingw}"
jobs="${CHAIN_QT_JOBS:-$(nproc)}"
host_cmake=/usr/lib/x86_64-linux-gnu/cmake
began=$SECONDS

version="$(dpkg-query -W -f='${Version}' qt6-base-dev 2>/dev/null || true)"
if [ -z "$version" ] || [ ! -f "$host_cmake/Qt6HostInfo/Qt6HostInfoConfig.cmake" ]; then
  echo "build-qt-mingw: the native Qt (qt6-base-dev, qt6-base-dev-tools) must be installed first" >&2
  exit 1
fi

# The patches Qt needs to build here; each one says why at its top.
patches=("$repo"/scripts/qt-mingw-patches/*.patch)
[ -e "${patches[0]}" ] || patches=()

# What Qt is built with. Tablet events are off because Debian's source leaves out the tablet
# headers (wintab.h) that the windows plugin would need for them; freetype (bundled) stays on
# because the offscreen plugin draws text with it on Windows.
options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  -DFEATURE_gui=ON -DFEATURE_widgets=ON -DFEATURE_testlib=ON
  -DFEATURE_network=OFF -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  -DINPUT_opengl=no -DFEATURE_opengl=OFF -DFEATURE_vulkan=OFF
  -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_freetype=ON -DFEATURE_system_freetype=OFF -DFEATURE_harfbuzz=ON -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_doubleconversion=OFF -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF
  -DFEATURE_icu=OFF -DFEATURE_zstd=OFF -DFEATURE_glib=OFF
)
toolchain_text='# The compilers Qt for Windows was built with; qt-cmake loads this file unless it is given
# another one (QT_CHAINLOAD_TOOLCHAIN_FILE).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)'

stamp_text="qt6-base $version
compiler $(x86_64-w64-mingw32-g++-posix -dumpfullversion 2>/dev/null || echo none)
options ${options[*]}
patches $(cat /dev/null "${patches[@]}" | sha256sum | cut -d' ' -f1)
toolchain $(printf '%s' "$toolchain_text" | sha256sum | cut -d' ' -f1)"
stamp="$prefix/chain-qt-build.stamp"
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$stamp_text" ]; then
  echo "build-qt-mingw: Qt $version for MinGW is already in $prefix"
  exit 0
fi

work="$(mktemp -d "${TMPDIR:-/var/tmp}/chain-qt-mingw.XXXXXX")"
trap 'rm -rf "$work"' EXIT

# apt with a folder of its own: the machine's deb entries turned into deb-src ones.
apt="$work/apt"
mkdir -p "$apt/sources.list.d" "$apt/lists/partial" "$apt/cache/archives/partial"
: >"$apt/sources.list"
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] && sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -nE 's/^deb[[:space:]]/deb-src /p' /etc/apt/sources.list >"$apt/sources.list"
fi
apt_options=(-o "Dir::Etc::sourcelist=$apt/sources.list" -o "Dir::Etc::sourceparts=$apt/sources.list.d"
  -o "Dir::State::Lists=$apt/lists" -o "Dir::Cache=$apt/cache" -o APT::Sandbox::User=root -qq)
echo "build-qt-mingw: fetching Debian's qt6-base $version source"
apt-get "${apt_options[@]}" update
(cd "$work" && apt-get "${apt_options[@]}" source --only-source "qt6-base=$version" >/dev/null)
src="$(find "$work" -maxdepth 1 -type d -name 'qt6-base-*' | head -n1)"
[ -n "$src" ] || {
  echo "build-qt-mingw: apt-get source gave no qt6-base folder" >&2
  exit 1
}
for p in "${patches[@]}"; do
  echo "build-qt-mingw: applying $(basename "$p")"
  patch -d "$src" -p1 --quiet <"$p"
done

rm -rf "$prefix"
mkdir -p "$prefix"
printf '%s\n' "$toolchain_text" >"$prefix/mingw-w64-x86_64.cmake"
echo "build-qt-mingw: configuring and building into $prefix with $jobs jobs"
cmake -S "$src" -B "$work/build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$prefix/mingw-w64-x86_64.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake" -DCMAKE_INSTALL_PREFIX="$prefix" \
  "${options[@]}" >"$work/configure.log" 2>&1 || {
  tail -n 60 "$work/configure.log" >&2
  exit 1
}
cmake --build "$work/build" -j"$jobs" >"$work/build.log" 2>&1 || {
  grep -B2 -A20 -m5 -E 'error|FAILED' "$work/build.log" >&2 || tail -n 60 "$work/build.log" >&2
  exit 1
}
cmake --install "$work/build" --strip >/dev/null
# Qt's own messages in Japanese, where the programs look for them (QLibraryInfo's translations).
mkdir -p "$prefix/translations"
cp /usr/share/qt6/translations/qtbase_ja.qm "$prefix/translations/"
printf '%s\n' "$stamp_text" >"$stamp"
echo "build-qt-mingw: Qt $version for MinGW built in $((SECONDS - began)) s, $(du -sh "$prefix" | cut -f1) in $prefix"
