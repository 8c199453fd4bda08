#!/usr/bin/env bash
# wine-prefix.sh [DIR]: prepares the Wine prefix that every Windows test starts from (a copy of
# it), once: Windows 10, and the free faces with the same metrics standing in for the fonts the
# window asks for (Calibri, Arial, Microsoft Sans Serif), so that texts measure as on Windows. A second run finds it ready.
#   DIR  default $DUVA_WINE_TEMPLATE, or ${XDG_CACHE_HOME:-$HOME/.cache}/duva/wine-template
set -euo pipefail
template=${1:-${DUVA_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/duva/wine-template}}
here=$(cd "$(dirname "$0")" && pwd)
# What the prefix is made of; a change of it or of Wine makes a new one.
settings="$(wine --version) $(sha256sum "$here/wine-prefix.sh" | cut -c1-12)"
if [ "$(cat "$template/.ready" 2> /dev/null)" = "$settings" ]; then
  exit 0
fi
rm -rf "$template"
mkdir -p "$(dirname "$template")"
export WINEPREFIX=$template WINEDEBUG=-all
# Neither Mono nor Gecko: no program here needs them, and they would be fetched from the net.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY
wineboot --init > /dev/null 2>&1
# What "winecfg /v win10" sets.
wine reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d win10 /f > /dev/null 2>&1
# The window asks Windows for Microsoft Sans Serif where it was designed with MS Sans Serif.
for font in Calibri=Carlito "Arial=Liberation Sans" "Microsoft Sans Serif=Liberation Sans"; do
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "${font%%=*}" /t REG_SZ \
    /d "${font#*=}" /f > /dev/null 2>&1
done
wineserver --wait
echo "$settings" > "$template/.ready"
