#!/usr/bin/env bash
# Packs the PNG icons into the Windows icon file duva-configurador.ico (the program's icon in
# Explorer, the Start menu and the installer). An icon file may hold PNG pictures as they are:
# a header, one 16-byte entry per picture, then the pictures. Run by hand after make-pngs.sh.
set -euo pipefail
cd "$(dirname "$0")"
sizes=(16 24 32 48 64 128 256)
out=duva-configurador.ico
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
{
    le16 0; le16 1; le16 ${#sizes[@]}
    offset=$((6 + 16 * ${#sizes[@]}))
    for size in "${sizes[@]}"; do
        length=$(stat -c %s "$size.png")
        side=$((size == 256 ? 0 : size)) # 0 stands for 256
        printf "\\x$(printf %02x $side)\\x$(printf %02x $side)\\x00\\x00"
        le16 1; le16 32; le32 "$length"; le32 "$offset"
        offset=$((offset + length))
    done
    for size in "${sizes[@]}"; do cat "$size.png"; done
} > "$out"
