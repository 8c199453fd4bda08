#!/usr/bin/env bash
# tst_installer.sh SETUP.EXE: the installer under Wine (run through wine-run.sh --shell, which
# gives it a Wine prefix and an X display of its own). A silent installation puts the program,
# its Qt platform plugin, the uninstaller and a Start-menu entry in place; the installed
# program starts and opens its UDP port 5001; the silent uninstallation then leaves no file of
# the installation behind.
set -u
setup=$1
if [ ! -f "$setup" ]; then
  echo "SKIP: $setup is not there: make it with scripts/package-windows.sh"
  exit 77
fi
passes=0
fails=0
check() { # check DESCRIPTION COMMAND...
  if "${@:2}"; then
    echo "PASS: $1"
    passes=$((passes + 1))
  else
    echo "FAIL: $1"
    fails=$((fails + 1))
  fi
}
drive=$WINEPREFIX/drive_c
dir="$drive/Program Files/Configurador DUVA"
# Everything under drive C:, less what Wine itself keeps changing (temporary files).
files() { (cd "$drive" && find . -path './users/*/Temp' -prune -o -path './windows' -prune \
  -o -print | sort); }

before=$(files)
wine "$setup" /S
check "the installer ends successfully" [ $? -eq 0 ]
check "the program is installed" [ -f "$dir/duva-configurador.exe" ]
check "beside its platform plugin" [ -f "$dir/platforms/qwindows.dll" ]
check "with its uninstaller" [ -f "$dir/Uninstall.exe" ]
check "the Start menu has its entry" \
  [ -n "$(find "$drive" -path '*Start Menu*' -name 'Configurador DUVA.lnk' | head -n 1)" ]

# The installed program, started as the Start-menu entry starts it; offscreen, since nobody
# looks. It runs until it is ended.
QT_QPA_PLATFORM=offscreen wine "C:\\Program Files\\Configurador DUVA\\duva-configurador.exe" \
  > "$WINEPREFIX/program.log" 2>&1 &
program=$!
bound=no
for _ in $(seq 100); do
  if ss -uln | grep -q '0\.0\.0\.0:5001 '; then bound=yes; break; fi
  kill -0 "$program" 2> /dev/null || break
  sleep 0.1
done
check "the installed program starts and holds UDP port 5001" [ "$bound" = yes ]
[ "$bound" = yes ] || cat "$WINEPREFIX/program.log"
kill "$program" 2> /dev/null
wineserver -k
wait 2> /dev/null

# The uninstaller copies itself away and goes on from there; the Wine server waits for it.
wine "$dir/Uninstall.exe" /S
wineserver -w
check "the installation's folder is gone" [ ! -e "$dir" ]
after=$(files)
left=$(comm -13 <(echo "$before") <(echo "$after"))
check "no file of the installation is left on drive C:" [ -z "$left" ]
[ -z "$left" ] || echo "left behind:" "$left"

echo "$passes passed, $fails failed"
[ "$fails" -eq 0 ]
