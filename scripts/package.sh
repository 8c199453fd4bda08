#!/usr/bin/env bash
# Builds the Debian package dist/duva-configurador_<version>_<arch>.deb: a release build of
# the two programs without tests, in build-package/ (or $PACKAGE_BUILD_DIR), packed by CPack
# from the install rules.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${PACKAGE_BUILD_DIR:-$top/build-package}
"$top/scripts/install-deps.sh"

# Debian's compiler and hardening flags, as a Debian build would use them.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --export=sh)"
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
    -DCMAKE_CXX_FLAGS="$CXXFLAGS $CPPFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" > /dev/null
cmake --build "$build" -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
logged=$(dpkg-parsechangelog -l "$top/packaging/changelog" -S Version)
if [ "$logged" != "$version" ]; then
    echo "package: packaging/changelog ends at $logged, the project is at $version;" \
        "add an entry first" >&2
    exit 1
fi

rm -rf "$build/package"
(cd "$build" && cpack -G DEB > /dev/null)
mkdir -p "$top/dist"
deb=duva-configurador_${version}_$(dpkg --print-architecture).deb
cp "$build/package/$deb" "$top/dist/"
echo "dist/$deb"
