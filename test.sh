#!/usr/bin/env bash
# Installs what is missing, builds Tandrel with warnings as errors and runs every test; builds
# the Debian package and checks it; then runs the core tests again under AddressSanitizer and
# UndefinedBehaviorSanitizer, and fuzzes the INI reader for 30 seconds.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh

echo "== Construction et tests (build/)"
./scripts/build.sh build -DTANDREL_WERROR=ON
(cd build && ctest --output-on-failure -j2)

echo "== Paquet Debian (build-deb/) : construction, lintian, programmes du paquet"
deb=$(./scripts/package.sh)
./scripts/check-package.sh "$deb"

echo "== Tests du cœur sous AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)"
./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTANDREL_WERROR=ON \
  -DTANDREL_SANITIZE=ON -DTANDREL_BUILD_UI=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j2)

echo "== Fuzzing court du lecteur INI et de l'import (build-fuzz/, libFuzzer)"
./scripts/build.sh build-fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DTANDREL_FUZZ=ON -DTANDREL_SANITIZE=ON -DTANDREL_BUILD_UI=OFF \
  -DTANDREL_BUILD_TESTS=OFF -DTANDREL_WERROR=OFF
# In memory when possible: every input is written and imported through real files.
scratch=/dev/shm
[[ -d $scratch ]] || scratch=${TMPDIR:-/tmp}
fuzz_corpus=$(mktemp -d -p "$scratch")
trap 'rm -rf "$fuzz_corpus"' EXIT
build-fuzz/bin/ini_fuzz -max_total_time=30 -print_final_stats=1 -artifact_prefix="$fuzz_corpus/" \
  "$fuzz_corpus" tests/fuzz/corpus \
  2>&1 | tail -n 12
