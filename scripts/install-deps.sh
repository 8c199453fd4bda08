#!/usr/bin/env bash
# Installs the Debian 12 packages the configurator needs to build and run, when missing;
# with --test also what the test suite needs (an X server and a window manager, a Wayland
# compositor with Xwayland and Qt's Wayland platform, nftables for the firewall test,
# bash-completion, the accessibility bus with an AT-SPI client, and LibreOffice Calc, which
# saves duvactl's plans again as a spreadsheet does, and pdftotext, which reads the fleet
# window's printed report); with --screenshot what
# scripts/screenshot.sh needs (an X server, a window manager, a pointer driver and an image
# tool); with --windows what the Windows cross-build and its packages need (MinGW-w64, NSIS),
# and with --windows-test also what its tests under Wine need.
set -euo pipefail

packages=(
  build-essential cmake pkg-config help2man file
  qt6-base-dev libjpeg-dev libxcb1-dev
  qt6-l10n-tools qt6-tools-dev
  fonts-crosextra-carlito fonts-liberation2
  iproute2 util-linux
)
windows=(g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 nsis)
case "${1:-}" in
  # The accessibility test needs a session bus, the accessibility bus and an AT-SPI client.
  --test) packages+=(xvfb openbox weston xwayland qt6-wayland nftables bash-completion
                     dbus-daemon at-spi2-core python3-pyatspi libreoffice-calc-nogui
                     poppler-utils) ;;
  --screenshot) packages+=(xvfb openbox xdotool imagemagick) ;;
  --windows) packages+=("${windows[@]}") ;;
  --windows-test) packages+=("${windows[@]}" wine wine64 xvfb xdotool) ;;
esac

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
