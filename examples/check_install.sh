#!/bin/sh
# Installs a built tree into a temporary prefix and builds examples/embed.c
# against the installed copy, once with pkg-config and once with CMake's
# find_package (shared and static), then runs each result.
#   check_install.sh SOURCE_DIR BUILD_DIR C_COMPILER [EXTRA_FLAGS]
# EXTRA_FLAGS go to every compile and link (the sanitizer flags of a
# sanitized build).
set -eu
src=$1 build=$2 cc=$3 extra=${4:-}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillon-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

libdir=$(dirname "$(find "$prefix" -name quillon.pc)")
libdir=${libdir%/pkgconfig}
for f in "$prefix/include/quillon.h" "$prefix/bin/quillon" "$prefix/share/man/man1/quillon.1" \
         "$libdir/libquillon.a" "$libdir/libquillon.so" "$libdir/libquillon.so.4" \
         "$libdir/pkgconfig/quillon.pc" "$libdir/cmake/quillon/quillonConfig.cmake" \
         "$libdir/cmake/quillon/quillonConfigVersion.cmake"; do
  [ -e "$f" ] || fail "not installed: ${f#$prefix/}"
done
soname=$(readelf -d "$libdir/libquillon.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
[ "$soname" = libquillon.so.4 ] || fail "soname is '$soname'"
"$prefix/bin/quillon" -e 'print("installed shell")' | grep -q "installed shell" || fail "installed shell"

# pkg-config, with the prefix found from the .pc file's own place.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
[ "$(pkg-config --modversion quillon)" = 4.23 ] || fail "pkg-config --modversion"
# shellcheck disable=SC2046
$cc -std=c99 -Wall -Werror $extra "$src/examples/embed.c" $(pkg-config --cflags --libs quillon) \
  -o "$tmp/embed_pc" || fail "build with pkg-config"
LD_LIBRARY_PATH="$libdir" "$tmp/embed_pc" >"$tmp/out" || { cat "$tmp/out"; fail "embed built with pkg-config"; }
grep -q "script result: 110" "$tmp/out" || fail "embed output"
unset PKG_CONFIG_PATH

# find_package, in a C-only project.
mkdir "$tmp/consumer"
cat >"$tmp/consumer/CMakeLists.txt" <<EOT
cmake_minimum_required(VERSION 3.16)
project(embed_consumer C)
find_package(quillon 4 REQUIRED)
add_executable(embed_shared "$src/examples/embed.c")
target_link_libraries(embed_shared PRIVATE quillon::quillon)
add_executable(embed_static "$src/examples/embed.c")
target_link_libraries(embed_static PRIVATE quillon::quillon_static)
EOT
cmake -S "$tmp/consumer" -B "$tmp/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="-std=c99 -Wall -Werror $extra" \
  -DCMAKE_EXE_LINKER_FLAGS="$extra" >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; fail "find_package"; }
cmake --build "$tmp/consumer/build" >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; fail "build with find_package"; }
for exe in embed_shared embed_static; do
  "$tmp/consumer/build/$exe" >"$tmp/out" || { cat "$tmp/out"; fail "$exe"; }
  grep -q "handler returned: embed demo: done after 55" "$tmp/out" || fail "$exe output"
done
echo "installed copy works with pkg-config and find_package"
