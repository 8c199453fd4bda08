#!/usr/bin/env bash
# Cross-builds the configurator for 64-bit Windows and makes, in dist/:
#   duva-configurador-<version>-win64.zip    the program beside exactly the DLLs it needs
#   duva-configurador-<version>-setup.exe    a 64-bit installer (NSIS)
# Qt and libjpeg-turbo for Windows come from scripts/build-qt-windows.sh, which builds them
# once (about 45 minutes) into a cache outside the repository. The build goes to
# build-windows/ (or $WIN_BUILD_DIR). BUILD_TESTING=ON builds the Windows tests as well, and
# DUVA_HOST_BUILD names a Linux build whose duva-sim the end-to-end test runs against.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${WIN_BUILD_DIR:-$top/build-windows}
"$top/scripts/install-deps.sh" --windows
prefix=$("$top/scripts/build-qt-windows.sh" | tail -n 1)

cmake -S "$top" -B "$build" -DCMAKE_TOOLCHAIN_FILE="$top/cmake/windows-cross.cmake" \
    -DDUVA_WIN_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_TESTING="${BUILD_TESTING:-OFF}" ${DUVA_HOST_BUILD:+-DDUVA_HOST_BUILD="$DUVA_HOST_BUILD"} \
    > /dev/null
cmake --build "$build" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
rm -rf "$build/package"
(cd "$build" && cpack > /dev/null)
mkdir -p "$top/dist"
for f in "duva-configurador-$version-win64.zip" "duva-configurador-$version-setup.exe"; do
  cp "$build/package/$f" "$top/dist/"
  echo "dist/$f"
done
