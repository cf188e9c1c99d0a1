#!/usr/bin/env bash
# Installs the Debian packages Tandrel needs to build and test; skips what is there.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-qpa-plugins qt6-translations-l10n
  libsqlite3-dev libgtest-dev googletest
  xvfb xauth xdotool imagemagick fonts-dejavu-core
  clang libclang-rt-14-dev # the fuzz targets (libFuzzer)
  rsync time sqlite3 # bench/run.sh: the peers it is measured against, max RSS, its project
  # the file system tests: FAT, exFAT and NTFS images made here and mounted through FUSE
  dosfstools fusefat exfatprogs exfat-fuse ntfs-3g
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installation des paquets manquants : ${missing[*]}"
  sudo_cmd=()
  [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -qq
  "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
