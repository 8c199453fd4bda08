#!/usr/bin/env bash
# tst_installer.sh SETUP.EXE: the installer under Wine (run through wine-run.sh --shell, which
# gives it a Wine prefix and an X display of its own). A silent installation puts the program,
# its Qt platform plugin, the uninstaller and a Start-menu entry in place, the entry pointing
# at the program and starting it in a folder of the public Documents; the installed program,
# started as the entry starts it, opens its UDP port 5001 and, in service mode, stores the
# version text in the version file of its working folder; the silent uninstallation then
# leaves no file of the installation behind.
# Inside testnet.sh, with DUVA_SIM naming the Linux duva-sim, the installed program also does
# a technician's whole job, from the keyboard alone, against a simulated module in the
# modules' namespace: it searches, chooses the module, changes its server port, writes it,
# and the confirming search finds the module with its new record.
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
entry=$(find "$drive" -path '*Start Menu*' -name 'Configurador DUVA.lnk' | head -n 1)
check "the Start menu has its entry" [ -n "$entry" ]
# What a click on the entry starts, and where: its target and working folder.
target=
workdir=
if [ -n "$entry" ]; then
  { read -r target; read -r workdir; } < <(python3 "$(dirname "$0")/read-shortcut.py" "$entry")
fi
unix_target=$(winepath -u "${target:-C:\\none}" 2> /dev/null)
unix_workdir=$(winepath -u "${workdir:-C:\\none}" 2> /dev/null)
check "the entry's target is the installed program ($target)" \
  [ "$unix_target" -ef "$dir/duva-configurador.exe" ]
public="$drive/users/Public/Documents/Configurador DUVA"
fleet_entry=$(find "$drive" -path '*Start Menu*' -name 'Frota DUVA.lnk' | head -n 1)
fleet_target=
[ -n "$fleet_entry" ] &&
  { read -r fleet_target; } < <(python3 "$(dirname "$0")/read-shortcut.py" "$fleet_entry")
check "the Start menu has the fleet window's entry, Frota DUVA ($fleet_target)" \
  [ "$(winepath -u "${fleet_target:-C:\\none}" 2> /dev/null)" -ef "$dir/duva-frota.exe" ]
check "its working folder is made in the public Documents folder ($workdir)" \
  [ "$unix_workdir" -ef "$public" ]

network=no
if [ -n "${DUVA_NS_MODULES:-}" ] && [ -x "${DUVA_SIM:-}" ]; then
  network=yes
  sim_log=$WINEPREFIX/sim.log
  # One module in client mode, server port 5002; nothing else listens in its namespace.
  ip netns exec "$DUVA_NS_MODULES" "$DUVA_SIM" --count 1 --first-ip 10.77.0.10 \
    > "$sim_log" 2>&1 &
  sim=$!
fi

# Waits up to $2 seconds for a line of the simulator's log after line $3 that matches the
# extended regular expression $1; prints its number and text ("N:line").
sim_line() {
  local deadline=$((SECONDS + $2))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if tail -n +"$(($3 + 1))" "$sim_log" | grep -n -m 1 -E "$1" > "$WINEPREFIX/match"; then
      awk -F: -v from="$3" '{ n = $1; sub(/^[0-9]+:/, ""); print n + from ":" $0 }' \
        "$WINEPREFIX/match"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
# Byte N (from 0) of the datagram on a log line, as the log writes it (two hex digits).
byte_of() { sed 's/.*: //' <<< "$2" | awk -v n="$1" '{ print $(n + 1) }'; }
keys() { xdotool key --delay 150 "$@"; }
# Whether the datagram on a log line holds server port 6000 (17 70).
new_server_port() { [ -n "$1" ] && [ "$(byte_of 18 "$1") $(byte_of 19 "$1")" = "17 70" ]; }

# The version file that service mode reads and stores lies in the working folder; the program
# never makes it.
version_file="$public/versao.txt"
[ -d "$unix_workdir" ] && printf '1.4\r\n' > "$version_file"

# The installed program, started as the Start-menu entry starts it (its target, in its working
# folder), on the windows platform. It runs until it is ended.
(cd "$unix_workdir" && exec wine "$target") > "$WINEPREFIX/program.log" 2>&1 &
program=$!
bound=no
for _ in $(seq 300); do
  if ss -uln | grep -q '0\.0\.0\.0:5001 '; then bound=yes; break; fi
  kill -0 "$program" 2> /dev/null || break
  sleep 0.1
done
check "the installed program starts and holds UDP port 5001" [ "$bound" = yes ]
[ "$bound" = yes ] || cat "$WINEPREFIX/program.log"

window=
if [ "$bound" = yes ]; then
  window=$(timeout 60 xdotool search --sync --onlyvisible --name '^Configurador M.*dulos DUVA')
  window=${window%%$'\n'*}
  check "the installed program opens its window" [ -n "$window" ]
  # No window manager runs: the window is given the keyboard directly.
  [ -n "$window" ] && timeout 10 xdotool windowfocus --sync "$window"
fi

if [ "$network" = yes ] && [ -n "$window" ]; then
  check "duva-sim runs in the modules' namespace" sim_line 'listening on' 10 0 > /dev/null

  # The window opens with the keyboard in the first field; Shift+Tab reaches the search,
  # and Space starts it.
  keys shift+Tab space
  search=$(sim_line 'to 10\.77\.0\.255:1461 ' 30 0)
  check "the search from the keyboard reaches the module" [ -n "$search" ]
  answer=$(sim_line 'send to 10\.77\.0\.1:5001 .* len 64 module 1:' 10 "${search%%:*}")
  check "the module answers it" [ -n "$answer" ]

  # Shift+Tab from the search, past "Base", reaches the module list; Space chooses the
  # highlighted address. Then, backwards past "Alcance extendido", "GRAVAR" and "WatchDog",
  # "Porta do Servidor" (Tab selects its text); two Tabs forward reach "GRAVAR" again.
  # The answer was logged as it was sent. Once it is in the program's queue, Windows hands
  # it over before any key (posted messages come before input); the second is a margin for
  # the Wine server to see it arrive.
  sleep 1
  keys shift+Tab shift+Tab space
  keys shift+Tab shift+Tab shift+Tab shift+Tab End BackSpace BackSpace BackSpace BackSpace \
    BackSpace 6 0 0 0 Tab Tab space
  write=$(sim_line 'to 10\.77\.0\.10:1461 len 65: ' 30 "${answer%%:*}")
  check "a 65-byte write reaches the module at its address" [ -n "$write" ]
  # The address (0A 4D 00 0A) and the local port (5002: 13 8A) stay.
  check "it holds the new server port" new_server_port "$write"
  check "and the module's own address and local port" \
    [ "$(for i in 0 1 2 3 16 17; do byte_of $i "$write"; done | xargs)" = "0A 4D 00 0A 13 8A" ]

  # Some six seconds later the window searches again and the module answers with the record
  # it was given.
  confirm=$(sim_line 'to 10\.77\.0\.255:1461 ' 20 "${write%%:*}")
  check "the confirming search follows the write" [ -n "$confirm" ]
  again=$(sim_line 'send to 10\.77\.0\.1:5001 .* len 64 module 1:' 10 "${confirm%%:*}")
  check "the module answers it with its new server port" new_server_port "$again"
  [ "$fails" -eq 0 ] || { echo "duva-sim's log:"; cat "$sim_log"; cat "$WINEPREFIX/program.log"; }
fi

# Service mode, as a technician reaches it: a click in the local-port field (at 372, 78 in the
# panel that lies at 6, 48 in the window), F10 there shows the time field and gives it the
# keyboard, F2 there enters service mode and puts the version file's first line into the
# version field (at 411, 369 in the panel). A new text typed there and a double-click on it
# store it in the file, without a line end.
stored() { cmp -s <(printf '2.7') "$version_file"; }
if [ -n "$window" ]; then
  xdotool mousemove --window "$window" 392 135 click 1
  keys F10 F2
  xdotool mousemove --window "$window" 432 426 click 1
  keys End BackSpace BackSpace BackSpace BackSpace BackSpace 2 period 7
  xdotool click --repeat 2 --delay 100 1
  for _ in $(seq 100); do stored && break; sleep 0.1; done
  check "the installed program stores the version text in its working folder" stored
  stored || { od -c "$version_file"; cat "$WINEPREFIX/program.log"; }
fi
rm -f "$version_file"
# Every wait from here on is bounded: a process that lingers (a Wine one did, once in many
# runs) must not hold the test until its time is up; what was to be done is checked below.
ended() {
  for _ in $(seq 100); do
    kill -0 "$1" 2> /dev/null || return 0
    sleep 0.1
  done
  echo "note: process $1 still ran 10 s after it was ended; killed"
  kill -9 "$1" 2> /dev/null
}
[ "$network" = yes ] && kill "$sim" 2> /dev/null && ended "$sim"
kill "$program" 2> /dev/null
wineserver -k
ended "$program"

# The uninstaller copies itself away and goes on from there; the Wine server waits for it.
wine "$dir/Uninstall.exe" /S
if ! timeout 120 wineserver -w; then
  echo "note: Wine's processes still ran 120 s after the uninstaller started; ended"
  wineserver -k
fi
check "the installation's folder is gone" [ ! -e "$dir" ]
check "and so is the empty working folder" [ ! -e "$public" ]
after=$(files)
left=$(comm -13 <(echo "$before") <(echo "$after"))
check "no file of the installation is left on drive C:" [ -z "$left" ]
[ -z "$left" ] || echo "left behind:" "$left"

echo "$passes passed, $fails failed"
[ "$fails" -eq 0 ]
