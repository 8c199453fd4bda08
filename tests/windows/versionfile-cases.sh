#!/usr/bin/env bash
# versionfile-cases.sh COMMAND...: prepares the folders in which the version file's test
# stores under Wine, where the tests run as root: read-only-file/versao.txt, a file without
# write permission, and read-only-folder/versao.txt, a writable file in a folder without it.
# Then runs COMMAND with DUVA_VERSIONFILE_FOLDERS naming them (as Wine sees them, on drive Z:)
# and without root's power over file permissions (CAP_DAC_OVERRIDE), so that they apply as
# they would to a user. Skipped (77) where that power cannot be given up.
set -euo pipefail
if ! setpriv --bounding-set -dac_override,-dac_read_search true 2> /dev/null; then
  echo "SKIP: cannot give up the power over file permissions here"
  exit 77
fi
folders=$(mktemp -d)
trap 'chmod -R u+w "$folders"; rm -rf "$folders"' EXIT
mkdir "$folders/read-only-file" "$folders/read-only-folder"
for folder in read-only-file read-only-folder; do
  printf '1.5\n' > "$folders/$folder/versao.txt"
done
chmod 0444 "$folders/read-only-file/versao.txt"
chmod 0555 "$folders/read-only-folder"
export DUVA_VERSIONFILE_FOLDERS="Z:$folders"
# Not exec: the trap removes the folders afterwards.
setpriv --bounding-set -dac_override,-dac_read_search -- "$@"
