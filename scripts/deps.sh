#!/usr/bin/env bash
# Makes sure the Debian packages the build, the demo and the tests need (ffmpeg for the
# real-media demo and test) are installed: installs them when run
# as root, otherwise prints the command to run. Sourced by the other scripts. With
# CHAIN_WITH_WINDOWS=1 (scripts/test-windows.sh, CI) it also brings MinGW-w64 and Wine,
# for the Windows build and the tests that run Windows programs, and what building Qt for
# Windows needs;
# with CHAIN_WITH_BENCH=1 (scripts/bench.sh) the tools the benchmark script calls.
# clang and its runtime libraries build the sanitizer build and the fuzz targets
# (scripts/test-sanitizers.sh, scripts/fuzz.sh); e2fsprogs gives chattr to the fault tests;
# systemd, desktop-file-utils and lintian check the service units, desktop entries and package.
packages=(cmake make g++ qt6-base-dev qt6-translations-l10n doctest-dev ffmpeg libbenchmark-dev
  clang libclang-rt-14-dev e2fsprogs systemd desktop-file-utils lintian)
if [ "${CHAIN_WITH_BENCH:-0}" = 1 ]; then
  packages+=(time procps strace)
fi
windows_packages=()
if [ "${CHAIN_WITH_WINDOWS:-0}" = 1 ]; then
  # Qt for Windows is built from Debian's source package (scripts/build-qt-mingw.sh: dpkg-dev
  # unpacks it, Ninja builds it); the offscreen platform of the tests under Wine draws its
  # text with a Japanese font.
  windows_packages=(g++-mingw-w64-x86-64-posix wine64 wine dpkg-dev xz-utils patch ninja-build fonts-ipafont-gothic)
fi

missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_windows < <(missing_of "${windows_packages[@]}")

if [ $((${#missing[@]} + ${#missing_windows[@]})) -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]} ${missing_windows[*]}"
    apt-get update -qq
    if [ ${#missing[@]} -gt 0 ]; then
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
    fi
    # Console programs are all that run under Wine here: no need for its desktop extras.
    if [ ${#missing_windows[@]} -gt 0 ]; then
      DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing_windows[@]}" >/dev/null
    fi
  else
    echo "Missing packages. Run as root first:"
    echo "  apt-get update && apt-get install -y ${missing[*]} ${missing_windows[*]}"
    exit 1
  fi
fi
