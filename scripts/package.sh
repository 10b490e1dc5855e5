#!/usr/bin/env bash
# Builds the Debian package build/package/sectorsmith_<version>_<arch>.deb: the program alone,
# built with Debian's hardening flags (dpkg-buildflags), stripped, its Depends computed by
# dpkg-shlibdeps. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"
# CMake reads no CPPFLAGS; the preprocessor flags (_FORTIFY_SOURCE) go with the compiler's.
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"
cmake -S . -B build/package -G Ninja -DCMAKE_BUILD_TYPE=None \
    -DSECTORSMITH_TESTS=OFF -DSECTORSMITH_BENCH=OFF >/dev/null
# Two compile jobs unless told otherwise: the build shares its machine.
CMAKE_BUILD_PARALLEL_LEVEL="${CMAKE_BUILD_PARALLEL_LEVEL:-2}" cmake --build build/package
(cd build/package && cpack >/dev/null)
ls "$PWD"/build/package/sectorsmith_*.deb
