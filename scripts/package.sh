#!/usr/bin/env bash
# Builds the Debian package into build-deb/: a release build installed under /usr, with
# Debian's hardening flags, packed by CPack. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
./scripts/build.sh build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DTANDREL_BUILD_TESTS=OFF -DTANDREL_WERROR=ON \
  "-DCMAKE_CXX_FLAGS=$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
  "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" >&2
rm -f build-deb/tandrel_*.deb
(cd build-deb && cpack -G DEB >&2)
ls build-deb/tandrel_*.deb
