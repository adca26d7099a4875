#!/bin/sh
# Installs a built tree into a temporary prefix, checks what it holds (the
# libraries built, the header, the shell, the manual pages, the licence),
# and builds examples/embed.c against the installed copy, once with
# pkg-config and once with CMake's find_package (each library installed),
# then runs each result.
#   [QUILLON_SHARED=ON|OFF] [QUILLON_STATIC=ON|OFF] \
#   check_install.sh SOURCE_DIR BUILD_DIR C_COMPILER [EXTRA_FLAGS]
# EXTRA_FLAGS go to every compile and link (the sanitizer flags of a
# sanitized build).
set -eu
src=$1 build=$2 cc=$3 extra=${4:-}
shared=${QUILLON_SHARED:-ON} static=${QUILLON_STATIC:-ON}
tmp=$(mktemp -d "${TMPDIR:-/tmp}/quillon-install.XXXXXX")
trap 'rm -rf "$tmp"' EXIT
prefix=$tmp/prefix
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" || { cat "$tmp/install.log"; fail "cmake --install"; }

libdir=$(dirname "$(find "$prefix" -name quillon.pc)")
libdir=${libdir%/pkgconfig}
for f in "$prefix/include/quillon.h" "$prefix/bin/quillon" "$prefix/share/man/man1/quillon.1" \
         "$prefix/share/man/man3/quillon.3" "$prefix/share/doc/quillon/LICENSE" \
         "$prefix/share/doc/quillon/CHANGELOG.md" \
         "$libdir/pkgconfig/quillon.pc" "$libdir/cmake/quillon/quillonConfig.cmake" \
         "$libdir/cmake/quillon/quillonConfigVersion.cmake"; do
  [ -e "$f" ] || fail "not installed: ${f#$prefix/}"
done
if [ "$static" = ON ]; then
  [ -e "$libdir/libquillon.a" ] || fail "not installed: libquillon.a"
else
  [ ! -e "$libdir/libquillon.a" ] || fail "installed without QUILLON_STATIC: libquillon.a"
fi
if [ "$shared" = ON ]; then
  for f in "$libdir/libquillon.so" "$libdir/libquillon.so.4"; do
    [ -e "$f" ] || fail "not installed: ${f#$prefix/}"
  done
  soname=$(readelf -d "$libdir/libquillon.so" | sed -n 's/.*SONAME.*\[\(.*\)\]/\1/p')
  [ "$soname" = libquillon.so.4 ] || fail "soname is '$soname'"
else
  [ ! -e "$libdir/libquillon.so" ] || fail "installed without QUILLON_SHARED: libquillon.so"
fi
grep -q "MIT License" "$prefix/share/doc/quillon/LICENSE" || fail "LICENSE is not the MIT licence"
grep -q "MIT" "$prefix/include/quillon.h" || fail "quillon.h names no licence"
"$prefix/bin/quillon" -e 'print("installed shell")' | grep -q "installed shell" || fail "installed shell"
# The embedders' reference reads with man -l, without formatting warnings.
if command -v man >/dev/null 2>&1; then
  LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings=w -l "$prefix/share/man/man3/quillon.3" \
    >"$tmp/man.txt" 2>"$tmp/man.err" || { cat "$tmp/man.err"; fail "man -l quillon.3"; }
  [ ! -s "$tmp/man.err" ] || { cat "$tmp/man.err"; fail "man -l quillon.3 warns"; }
  for word in RunJavaScript CallJavaScript HostNotify JSTAG_STRING EXAMPLE LICENSE; do
    grep -q "$word" "$tmp/man.txt" || fail "man -l quillon.3 shows no $word"
  done
fi

# pkg-config, with the prefix found from the .pc file's own place.
export PKG_CONFIG_PATH="$libdir/pkgconfig"
[ "$(pkg-config --modversion quillon)" = 4.23 ] || fail "pkg-config --modversion"
grep -q "^License: MIT" "$libdir/pkgconfig/quillon.pc" || fail "quillon.pc names no licence"
# shellcheck disable=SC2046
$cc -std=c99 -Wall -Werror $extra "$src/examples/embed.c" $(pkg-config --cflags --libs quillon) \
  -o "$tmp/embed_pc" || fail "build with pkg-config"
LD_LIBRARY_PATH="$libdir" "$tmp/embed_pc" >"$tmp/out" || { cat "$tmp/out"; fail "embed built with pkg-config"; }
grep -q "script result: 110" "$tmp/out" || fail "embed output"
unset PKG_CONFIG_PATH

# find_package, in a C-only project.
mkdir "$tmp/consumer"
exes=""
cat >"$tmp/consumer/CMakeLists.txt" <<EOT
cmake_minimum_required(VERSION 3.16)
project(embed_consumer C)
find_package(quillon 4 REQUIRED)
EOT
if [ "$shared" = ON ]; then
  exes="$exes embed_shared"
  cat >>"$tmp/consumer/CMakeLists.txt" <<EOT
add_executable(embed_shared "$src/examples/embed.c")
target_link_libraries(embed_shared PRIVATE quillon::quillon)
EOT
fi
if [ "$static" = ON ]; then
  exes="$exes embed_static"
  cat >>"$tmp/consumer/CMakeLists.txt" <<EOT
add_executable(embed_static "$src/examples/embed.c")
target_link_libraries(embed_static PRIVATE quillon::quillon_static)
EOT
fi
cmake -S "$tmp/consumer" -B "$tmp/consumer/build" -DCMAKE_PREFIX_PATH="$prefix" \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_C_FLAGS="-std=c99 -Wall -Werror $extra" \
  -DCMAKE_EXE_LINKER_FLAGS="$extra" >"$tmp/configure.log" 2>&1 || { cat "$tmp/configure.log"; fail "find_package"; }
cmake --build "$tmp/consumer/build" >"$tmp/build.log" 2>&1 || { cat "$tmp/build.log"; fail "build with find_package"; }
for exe in $exes; do
  "$tmp/consumer/build/$exe" >"$tmp/out" || { cat "$tmp/out"; fail "$exe"; }
  grep -q "handler returned: embed demo: done after 55" "$tmp/out" || fail "$exe output"
done
echo "installed copy works with pkg-config and find_package"
