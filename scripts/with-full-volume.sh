#!/usr/bin/env bash
# Runs a command with a small empty tmpfs mounted for the end-to-end suite's full-disk test, its
# host path in KELVOR_FULL_VOLUME. Where mounting is refused the command runs anyway, with the
# reason in KELVOR_FULL_VOLUME_REFUSED, and that test fails saying so.
# Usage: scripts/with-full-volume.sh COMMAND [ARGS...]
set -uo pipefail

volume=$(mktemp -d "${TMPDIR:-/tmp}/kelvor-full.XXXXXX")
# Room for a copy of the program and its settings file; the test fills the rest.
if reason=$(mount -t tmpfs -o size=4m,mode=0755 kelvor-full "$volume" 2>&1); then
  export KELVOR_FULL_VOLUME=$volume
  trap 'umount "$volume" && rmdir "$volume"' EXIT
else
  export KELVOR_FULL_VOLUME_REFUSED="mounting a tmpfs on $volume was refused: ${reason:-no reason given}"
  echo "with-full-volume: $KELVOR_FULL_VOLUME_REFUSED; the full-volume test will fail" >&2
  trap 'rmdir "$volume"' EXIT
fi
"$@"
