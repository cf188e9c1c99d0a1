#!/usr/bin/env bash
# Configures and builds Tandrel with CMake and Ninja: build.sh BUILD_DIR [CMAKE_OPTIONS...]
set -euo pipefail
cd "$(dirname "$0")/.."

dir=$1
shift
if [[ ! -f "$dir/build.ninja" ]]; then
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
elif (($#)); then
  cmake "$dir" "$@" >/dev/null
fi
cmake --build "$dir" -j2
