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
  strace # bench/kept_versions.sh: the renames a run makes
  qt6-svg-dev # the scalable icon, drawn by the window icon's own code
  dpkg-dev file lintian desktop-file-utils appstream man-db # scripts/package.sh and its checks
  libglib2.0-bin # gio launch: the autostart entry started as a session starts it
  # the file system tests: FAT, exFAT and NTFS images made here and mounted through FUSE
  dosfstools fusefat exfatprogs exfat-fuse ntfs-3g
  # bench/slowfs: a file system that answers as slowly as a share
  libfuse3-dev fuse3
  # The window on a real desktop: the desktop tests' window manager and tray host, the font
  # the report and the dialogs ask for when Comic Sans MS is missing.
  openbox trayer x11-utils fonts-comic-neue
  # Runs nobody watches: the private buses of the notification and sleep-inhibitor tests,
  # systemd-escape and systemd-analyze for the timers tandrel-cli writes.
  dbus-daemon systemd
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
