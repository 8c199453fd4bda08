#!/usr/bin/env bash
# tst_install.sh BUILD_DIR VERSION APP_ID
# Installs the build as the package lays it out (/usr, and /etc for the ufw profile), staged
# in a temporary folder, and checks the installed tree: exactly the files a desktop
# installation needs, programs that answer --help and --version without a display, and a
# desktop entry, metainfo and firewall profiles that their own tools accept (where present).
set -u
build=$1 version=$2 id=$3
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix=$root/usr
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Staged (DESTDIR), so that what goes to /etc lands in the temporary folder too.
DESTDIR=$root cmake --install "$build" --prefix /usr > /dev/null ||
    { echo "FAIL: cmake --install"; exit 1; }

expected=(
    lib/firewalld/services/duva-configurador.xml
    bin/duva-configurador
    bin/duva-sim
    bin/duvactl
    bin/duva-frota
    "share/applications/$id.desktop"
    share/applications/br.com.duva.frota.desktop
    share/doc/duva-configurador/README.md
    share/doc/duva-configurador/changelog.gz
    share/doc/duva-configurador/copyright
    "share/icons/hicolor/scalable/apps/$id.svg"
    share/man/man1/duva-configurador.1.gz
    share/man/man1/duva-sim.1.gz
    share/man/man1/duva-frota.1.gz
    share/man/man1/duvactl.1.gz
    share/man/pt_BR/man1/duvactl.1.gz
    share/bash-completion/completions/duvactl
    "share/metainfo/$id.metainfo.xml"
    share/metainfo/br.com.duva.frota.metainfo.xml
)
for size in 16 22 24 32 48 64 128 256; do
    expected+=("share/icons/hicolor/${size}x$size/apps/$id.png")
    if command -v file > /dev/null; then
        file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" |
            grep -q "PNG image data, $size x $size" || fail "the ${size}x$size icon is not that size"
    fi
done
diff <(printf '%s\n' "${expected[@]/#/usr/}" etc/ufw/applications.d/duva-configurador | sort) \
    <(cd "$root" && find . -type f | sed 's|^\./||' | sort) ||
    fail "installed files differ from the list above (< missing, > unexpected)"

for program in duva-configurador duva-sim duvactl duva-frota; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version 2>&1)
    [ "$out" = "$program $version" ] || fail "$program --version said: $out"
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM LC_ALL=C "$prefix/bin/$program" --help 2>&1)
    grep -q "^Usage: $program \[options\]" <<< "$out" || fail "$program --help said: $out"
    zcat "$prefix/share/man/man1/$program.1.gz" | grep -q "^\.TH" || fail "$program.1.gz is no man page"
done

zcat "$prefix/share/man/man1/duvactl.1.gz" | grep -q "UDP port 5001 is held" ||
    fail "duvactl.1.gz does not list the exit statuses"
# The manual in Portuguese, where man looks in a pt_BR locale, in UTF-8 as it declares.
zcat "$prefix/share/man/pt_BR/man1/duvactl.1.gz" | grep -q "^\.SH CÓDIGO DE SAÍDA" ||
    fail "duvactl's Portuguese manual has no exit statuses"
for page in man1 pt_BR/man1; do
    zcat "$prefix/share/man/$page/duvactl.1.gz" | grep -q "^\.TH DUVACTL 1 .*duvactl $version" ||
        fail "share/man/$page/duvactl.1.gz does not name version $version"
done
bash -n "$prefix/share/bash-completion/completions/duvactl" || fail "the completion is no bash script"

grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "the desktop entry's icon is not $id"
grep -qx "Name=Frota DUVA" "$prefix/share/applications/br.com.duva.frota.desktop" &&
    grep -qx "Exec=duva-frota" "$prefix/share/applications/br.com.duva.frota.desktop" &&
    grep -qx "Icon=$id" "$prefix/share/applications/br.com.duva.frota.desktop" ||
    fail "the fleet window's entry is not Frota DUVA, starting duva-frota with the icon $id"
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo id is not $id"
for component in "$id" br.com.duva.frota; do
    grep -q "<release version=\"$version\"" "$prefix/share/metainfo/$component.metainfo.xml" ||
        fail "$component's metainfo release is not $version"
done

if command -v desktop-file-validate > /dev/null; then
    # The entry validates silently: not even a hint (two main categories, say).
    for entry in "$id" br.com.duva.frota; do
        out=$(desktop-file-validate "$prefix/share/applications/$entry.desktop" 2>&1)
        [ -z "$out" ] || { echo "$out"; fail "desktop-file-validate $entry"; }
    done
else
    echo "SKIP: desktop-file-validate is not installed (desktop-file-utils)"
fi
if command -v appstreamcli > /dev/null; then
    for component in "$id" br.com.duva.frota; do
        appstreamcli validate --no-net "$prefix/share/metainfo/$component.metainfo.xml" ||
            fail "appstreamcli validate $component"
    done
else
    echo "SKIP: appstreamcli is not installed (appstream)"
fi

# The firewall profiles, read by each firewall's own code, in copies of its configuration
# that the check makes: nothing of this computer's firewall is read or changed.
ufw_profile=$root/etc/ufw/applications.d/duva-configurador
firewalld_service=$prefix/lib/firewalld/services/duva-configurador.xml
grep -qx 'ports=5001/udp' "$ufw_profile" || fail "the ufw profile does not open 5001/udp"
grep -q '<port protocol="udp" port="5001"/>' "$firewalld_service" ||
    fail "the firewalld service does not open 5001/udp"
# ufw app info reads profiles with ufw.applications, which skips a broken one with a warning.
if /usr/bin/python3 -c 'import ufw.applications' 2> /dev/null; then
    out=$(/usr/bin/python3 - "$(dirname "$ufw_profile")" 2>&1 <<'PY'
import sys, gettext
gettext.install("ufw")
import ufw.applications
profiles = ufw.applications.get_profiles(sys.argv[1])
p = profiles["DUVA-Configurador"]
print(ufw.applications.get_title(p), ufw.applications.get_ports(p), sep="|")
PY
    )
    [ "$out" = "DUVA configurator|['5001/udp']" ] || fail "ufw's profile reader said: $out"
else
    echo "SKIP: ufw is not installed, its profile reader not tried"
fi
# firewalld's own services and zones: FIREWALLD_STOCK names another copy of them.
if command -v firewall-offline-cmd > /dev/null; then
    fwdefault=$root/firewalld-default fwsystem=$root/firewalld-system
    cp -a "${FIREWALLD_STOCK:-/usr/lib/firewalld}" "$fwdefault" &&
        cp "$firewalld_service" "$fwdefault/services/"
    mkdir -p "$fwsystem"
    cp /etc/firewalld/firewalld.conf "$fwsystem/" 2> /dev/null || echo DefaultZone=public > "$fwsystem/firewalld.conf"
    offline=(firewall-offline-cmd --default-config "$fwdefault" --system-config "$fwsystem")
    "${offline[@]}" --check-config || fail "firewall-offline-cmd --check-config"
    out=$("${offline[@]}" --info-service=duva-configurador 2>&1)
    grep -qx '  ports: 5001/udp' <<< "$out" || fail "firewalld's service reads as: $out"
else
    echo "SKIP: firewall-offline-cmd is not installed (firewalld)"
fi

[ $failures -eq 0 ] && echo "PASS: installed tree"
exit $((failures > 0))
