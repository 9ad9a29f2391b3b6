#!/bin/sh
# install_test.sh CMAKE BUILD_DIR install|units|desktop
# install: installs the build into a prefix that isn't on PATH, with a HOME of its own, and
#   starts the programs through the installed ts-chain-folder as the units do.
# units, desktop: checks the unit files and desktop entries of that install with
#   systemd-analyze verify and desktop-file-validate (skipped, status 77, without the tool).
set -eu
cmake=$1
build=$2
root=$build/test-install
prefix=$root/prefix
fail() { echo "FAIL: $*" >&2 && exit 1; }

case "$3" in
install)
  rm -rf "$root"
  "$cmake" --install "$build" --prefix "$prefix" >"$root.log" 2>&1 || { cat "$root.log" >&2 && fail "cmake --install"; }
  mkdir -p "$root/home"
  # What the units and desktop entries start: ts-chain-folder by its installed path.
  grep -qx "ExecStart=\"$prefix/bin/ts-chain-folder\" --service --run kestrune --headless" \
    "$prefix/share/systemd/user/ts-chain-kestrune.service" || fail "ExecStart of ts-chain-kestrune.service"
  grep -qx "Exec=\"$prefix/bin/ts-chain-folder\" --run tassik" "$prefix/share/applications/ts-chain-tassik.desktop" ||
    fail "Exec of ts-chain-tassik.desktop"
  # A service's Kestrune: automatic mode, so that with nothing to convert it waits (here:
  # until idle) instead of ending with 1; started from a PATH without the prefix.
  status=0
  env -i HOME="$root/home" PATH=/usr/bin:/bin LANG=C.UTF-8 \
    "$prefix/bin/ts-chain-folder" --service --run kestrune --headless --until-idle --time-scale 0.01 \
    >"$root/kestrune.out" 2>&1 || status=$?
  [ "$status" = 0 ] || { cat "$root/kestrune.out" >&2 && fail "kestrune through ts-chain-folder: status $status"; }
  folder=$root/home/ts-chain/kestrune
  [ "$(head -n 1 "$folder/KestruneData1.txt")" = "$(printf '0\r')" ] || fail "Kestrune's mode line"
  [ -d "$folder/recordings" ] && [ -x "$folder/BonTsDemux.exe" ] || fail "Kestrune's service folder"
  # A service's Orvane: its close option (line 5) off.
  env -i HOME="$root/home" PATH=/usr/bin:/bin "$prefix/bin/ts-chain-folder" --service orvane >/dev/null
  [ "$(sed -n 5p "$root/home/ts-chain/orvane/Orvane_Data.txt")" = "$(printf '0\r')" ] || fail "Orvane's close option"
  ;;
units)
  command -v systemd-analyze >/dev/null || exit 77
  # A unit whose ExecStart is missing or whose lines are wrong fails here.
  systemd-analyze verify "$prefix/share/systemd/user/"*.service
  ;;
desktop)
  command -v desktop-file-validate >/dev/null || exit 77
  for entry in "$prefix/share/applications/"*.desktop; do
    desktop-file-validate "$entry"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$prefix/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "the icon of $entry"
  done
  ;;
esac
