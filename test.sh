#!/usr/bin/env bash
# Installs what is missing, builds Tandrel with warnings as errors and runs every test; then
# runs the core tests again under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/setup.sh

echo "== Construction et tests (build/)"
./scripts/build.sh build -DTANDREL_WERROR=ON
(cd build && ctest --output-on-failure -j2)

echo "== Tests du cœur sous AddressSanitizer + UndefinedBehaviorSanitizer (build-asan/)"
./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTANDREL_WERROR=ON \
  -DTANDREL_SANITIZE=ON -DTANDREL_BUILD_UI=OFF
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure -j2)
