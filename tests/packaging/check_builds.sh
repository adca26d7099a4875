#!/bin/sh
# Builds the library and the shell the ways packagers build them, with
# warnings as errors, and checks that the builds are reproducible:
#   1. Release with GCC;
#   2. Release with clang;
#   3. Debian's packaging flags (dpkg-buildflags with all hardening, build
#      type None, as debhelper configures CMake);
#   4. Release with GCC again in another folder, both with the same
#      SOURCE_DATE_EPOCH and the second without any compiler cache: the static
#      and the shared library of the two must be identical byte for byte.
# Usage: check_builds.sh [CMAKE_FLAGS...]   (run from the source folder; the
# flags, e.g. a compiler launcher, go to every configuration but the fresh
# half of the reproducibility pair). The build folders are kept in
# build-packaging/ so later runs rebuild only what changed.
set -eu
src=$(pwd)
top=$src/build-packaging
targets="quillon_static quillon_shared quillon"
# A fixed date: the folders are configured once and stay valid.
epoch=1667606400
fail() { echo "FAIL: $*"; exit 1; }

# build NAME [cmake arguments...]: configures and builds one folder; the
# environment (CC, CXX, CXXFLAGS...) is the caller's.
build() {
  name=$1
  shift
  dir=$top/$name
  log=$top/$name.log
  mkdir -p "$top"
  start=$(date +%s)
  if ! { cmake -S "$src" -B "$dir" -G Ninja -DQUILLON_TESTS=OFF -DQUILLON_WERROR=ON "$@" &&
         cmake --build "$dir" -j "${JOBS:-2}" --target $targets; } >"$log" 2>&1; then
    tail -n 60 "$log"
    fail "$name build"
  fi
  # Warnings are errors, but a compiler cache may replay a warning of an
  # earlier run: none may be left in the log.
  if grep -q "warning:" "$log"; then
    grep "warning:" "$log" | head -n 20
    fail "$name build has warnings"
  fi
  echo "ok: $name ($(( $(date +%s) - start )) s)"
}

command -v clang++ >/dev/null 2>&1 || fail "clang++ is not installed"
command -v dpkg-buildflags >/dev/null 2>&1 || fail "dpkg-buildflags is not installed (dpkg-dev)"

SOURCE_DATE_EPOCH=$epoch CC=gcc CXX=g++ build gcc-release -DCMAKE_BUILD_TYPE=Release "$@"
SOURCE_DATE_EPOCH=$epoch CC=clang CXX=clang++ build clang-release -DCMAKE_BUILD_TYPE=Release "$@"

# Debian adds CPPFLAGS to the C and C++ flags itself when it runs CMake.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
SOURCE_DATE_EPOCH=$epoch CC=gcc CXX=g++ \
  CFLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  LDFLAGS="$(dpkg-buildflags --get LDFLAGS)" \
  build debian -DCMAKE_BUILD_TYPE=None "$@"
unset DEB_BUILD_MAINT_OPTIONS

SOURCE_DATE_EPOCH=$epoch CCACHE_DISABLE=1 CC=gcc CXX=g++ build gcc-release-again -DCMAKE_BUILD_TYPE=Release
for lib in libquillon.a libquillon.so.4.23; do
  cmp "$top/gcc-release/src/$lib" "$top/gcc-release-again/src/$lib" ||
    fail "$lib differs between two builds with the same SOURCE_DATE_EPOCH"
done
# The banner carries the date of SOURCE_DATE_EPOCH.
"$top/gcc-release-again/shell/quillon" -e 'print(__info)' | grep -q "built 2022-11-05" ||
  fail "the banner does not carry the date of SOURCE_DATE_EPOCH"
echo "ok: identical libraries from two folders with the same SOURCE_DATE_EPOCH"
echo "4 passed, 0 failed"
