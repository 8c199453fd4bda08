#!/usr/bin/env bash
# tst_install.sh BUILD_DIR VERSION APP_ID
# Installs the build into a temporary prefix and checks the installed tree: exactly the
# files a desktop installation needs, programs that answer --help and --version without a
# display, and a desktop entry and metainfo that their validators accept (where present).
set -u
build=$1 version=$2 id=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" > /dev/null || { echo "FAIL: cmake --install"; exit 1; }

expected=(
    bin/duva-configurador
    bin/duva-sim
    bin/duvactl
    "share/applications/$id.desktop"
    share/doc/duva-configurador/README.md
    share/doc/duva-configurador/changelog.gz
    share/doc/duva-configurador/copyright
    "share/icons/hicolor/scalable/apps/$id.svg"
    share/man/man1/duva-configurador.1.gz
    share/man/man1/duva-sim.1.gz
    share/man/man1/duvactl.1.gz
    share/bash-completion/completions/duvactl
    "share/metainfo/$id.metainfo.xml"
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
    if command -v file > /dev/null; then
        file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" |
            grep -q "PNG image data, $size x $size" || fail "the ${size}x$size icon is not that size"
    fi
done
diff <(printf '%s\n' "${expected[@]}" | sort) <(cd "$prefix" && find . -type f | sed 's|^\./||' | sort) ||
    fail "installed files differ from the list above (< missing, > unexpected)"

for program in duva-configurador duva-sim duvactl; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version 2>&1)
    [ "$out" = "$program $version" ] || fail "$program --version said: $out"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --help 2>&1)
    grep -q "^Usage: $program \[options\]" <<< "$out" || fail "$program --help said: $out"
    zcat "$prefix/share/man/man1/$program.1.gz" | grep -q "^\.TH" || fail "$program.1.gz is no man page"
done

zcat "$prefix/share/man/man1/duvactl.1.gz" | grep -q "UDP port 5001 is held" ||
    fail "duvactl.1.gz does not list the exit statuses"
bash -n "$prefix/share/bash-completion/completions/duvactl" || fail "the completion is no bash script"

grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "the desktop entry's icon is not $id"
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo id is not $id"
grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$id.metainfo.xml" ||
    fail "metainfo release is not $version"

if command -v desktop-file-validate > /dev/null; then
    # The entry validates silently: not even a hint (two main categories, say).
    out=$(desktop-file-validate "$prefix/share/applications/$id.desktop" 2>&1)
    [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate"; }
else
    echo "SKIP: desktop-file-validate is not installed (desktop-file-utils)"
fi
if command -v appstreamcli > /dev/null; then
    appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"
else
    echo "SKIP: appstreamcli is not installed (appstream)"
fi

[ $failures -eq 0 ] && echo "PASS: installed tree"
exit $((failures > 0))
