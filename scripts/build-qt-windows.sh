#!/usr/bin/env bash
# Builds Qt (qtbase) and libjpeg-turbo for 64-bit Windows once, from Debian's own sources and
# with Debian's MinGW-w64, into a cache outside the repository. A second run finds the cache's
# stamp and does nothing. Prints the prefix on its last line.
#   DUVA_WIN_CACHE  where the cache lives (default ${XDG_CACHE_HOME:-$HOME/.cache}/duva)
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
toolchain=$top/cmake/mingw-w64-x86_64.cmake
qt_version=6.4.2
jpeg_version=2.1.5

# Qt's options; they, the versions and the toolchain make the stamp, so changing any of them
# rebuilds.
qt_options=(
  -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_BENCHMARKS=OFF
  # Debian's tarball drops the wintab headers.
  -DFEATURE_tabletevent=OFF
  # Without desktop OpenGL the windows platform plugin only compiles with dynamic GL off.
  -DINPUT_opengl=no -DFEATURE_dynamicgl=OFF
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_png=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_jpeg=OFF
  -DFEATURE_sql=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF
)
stamp_of() { printf '%s\n' "$@" | cat - "$toolchain" | sha256sum | cut -c1-12; }
cache=${DUVA_WIN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/duva}
prefix=$cache/qt-$qt_version-mingw64-$(stamp_of "$jpeg_version" "${qt_options[@]}")
if [ -f "$prefix/.complete" ]; then
  echo "$prefix"
  exit 0
fi

packages=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 cmake ninja-build
          dpkg-dev perl python3 qt6-base-dev qt6-base-dev-tools)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

work=$cache/work
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/sources.list.d" "$work/apt/lists/partial" "$work/src"

# The sources come from the mirror this machine already uses, through a private source list
# and package index, so the machine's own apt configuration stays as it is.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$work/apt/sources.list.d/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -nE 's/^deb (.*)/deb-src \1/p' /etc/apt/sources.list > "$work/apt/sources.list"
else
  : > "$work/apt/sources.list"
fi
apt_private=(-o Dir::Etc::SourceList="$work/apt/sources.list"
             -o Dir::Etc::SourceParts="$work/apt/sources.list.d"
             -o Dir::State::Lists="$work/apt/lists" -o APT::Sandbox::User=root)
apt-get "${apt_private[@]}" update -qq
# apt-get source runs dpkg-source -x, which applies Debian's patches (debian/patches/series).
(cd "$work/src" && apt-get "${apt_private[@]}" source -qq qt6-base libjpeg-turbo > /dev/null)
qt_src=$(find "$work/src" -maxdepth 1 -type d -name "qt6-base-$qt_version*" | head -n1)
jpeg_src=$(find "$work/src" -maxdepth 1 -type d -name "libjpeg-turbo-$jpeg_version*" | head -n1)
if [ -z "$qt_src" ] || [ -z "$jpeg_src" ]; then
  echo "The mirror no longer serves Qt $qt_version and libjpeg-turbo $jpeg_version:" >&2
  ls "$work/src" >&2
  exit 1
fi

jobs=$(nproc)
# libjpeg-turbo, static, so that the program needs no further DLL. The logo is small, so
# the portable C code stands in for the SIMD code.
cmake -G Ninja -S "$jpeg_src" -B "$work/jpeg-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DENABLE_SHARED=OFF \
  -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF > /dev/null
cmake --build "$work/jpeg-build" -j"$jobs" > /dev/null
cmake --install "$work/jpeg-build" > /dev/null

cmake -G Ninja -S "$qt_src" -B "$work/qt-build" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
  -DCMAKE_INSTALL_PREFIX="$prefix" -DQT_HOST_PATH=/usr \
  -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake "${qt_options[@]}" \
  > "$work/qt-configure.log"
cmake --build "$work/qt-build" -j"$jobs"
cmake --install "$work/qt-build" > /dev/null

touch "$prefix/.complete"
rm -rf "$work"
echo "$prefix"
