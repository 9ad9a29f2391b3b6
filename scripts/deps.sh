#!/usr/bin/env bash
# Makes sure the Debian packages the build needs are installed: installs them when run
# as root, otherwise prints the command to run. Sourced by the other scripts.
packages=(cmake make g++ qt6-base-dev qt6-translations-l10n)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing packages. Run as root first:"
    echo "  apt-get update && apt-get install -y ${missing[*]}"
    exit 1
  fi
fi
