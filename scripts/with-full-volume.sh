#!/usr/bin/env bash
# Runs a command with a small tmpfs mounted for the end-to-end suite's full-disk, link and
# immutable-folder tests, its host path in KELVOR_FULL_VOLUME. Where mounting or preparing is
# refused the command runs anyway, with the reason in KELVOR_FULL_VOLUME_REFUSED, and those tests
# fail saying so.
# Usage: scripts/with-full-volume.sh COMMAND [ARGS...]
set -uo pipefail

volume=$(mktemp -d "${TMPDIR:-/tmp}/kelvor-full.XXXXXX")

# What a Windows program under Wine cannot make itself: an installation folder that refuses new
# files (immutable, since root is refused nothing else), and one whose settings file is a
# symbolic link into another folder (Wine's CreateSymbolicLinkW makes nothing).
prepare_fixtures() {
  mkdir -p "$volume/refusing/K/bin/win" "$volume/linked/K/bin/win" "$volume/linked/target" &&
    : >"$volume/refusing/K/Kelvor_ss" && : >"$volume/linked/target/Kelvor_ss" &&
    ln -s "$volume/linked/target/Kelvor_ss" "$volume/linked/K/Kelvor_ss" &&
    chattr +i "$volume/refusing/K"
}

# Room for three copies of the program and their settings files; the tests fill the rest.
if ! reason=$(mount -t tmpfs -o size=8m,mode=0755 kelvor-full "$volume" 2>&1); then
  export KELVOR_FULL_VOLUME_REFUSED="mounting a tmpfs on $volume was refused: ${reason:-no reason given}"
  trap 'rmdir "$volume"' EXIT
elif ! reason=$(prepare_fixtures 2>&1); then
  export KELVOR_FULL_VOLUME_REFUSED="preparing the links and the immutable folder on $volume failed: ${reason:-no reason given}"
  trap 'chattr -i "$volume/refusing/K" 2>/dev/null; umount "$volume" && rmdir "$volume"' EXIT
else
  export KELVOR_FULL_VOLUME=$volume
  trap 'chattr -i "$volume/refusing/K"; umount "$volume" && rmdir "$volume"' EXIT
fi
if [[ -n ${KELVOR_FULL_VOLUME_REFUSED:-} ]]; then
  echo "with-full-volume: $KELVOR_FULL_VOLUME_REFUSED; the tests on that volume will fail" >&2
fi
"$@"
