#!/usr/bin/env bash
# Runs a command with a fresh, throwaway 64-bit Wine prefix in WINEPREFIX (and under Xvfb when
# there is no display), then stops that prefix's wineserver and deletes the prefix.
# Usage: scripts/with-wine.sh COMMAND [ARGS...]   e.g. scripts/with-wine.sh wine tests.exe
set -uo pipefail

if [[ -z ${KELVOR_IN_XVFB:-} && -z ${DISPLAY:-} ]]; then
  # Everything below, wineboot included, then talks to the same virtual display.
  export KELVOR_IN_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}  # no Mono/Gecko install prompts
prefix=$(mktemp -d "${TMPDIR:-/tmp}/kelvor-wine.XXXXXX")
export WINEPREFIX=$prefix
cleanup() {
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT

source "$(dirname "$0")/wine-prefix.sh"
if ! kelvor_create_prefix; then
  echo "with-wine: could not create a Wine prefix in $prefix" >&2
  exit 1
fi
if [[ -n ${KELVOR_IN_XVFB:-} ]]; then
  # A bare Xvfb has no window manager; Wine then waits about 2 s for one whenever it closes a
  # managed window. Unmanaged windows close at once (the e2e suite: 52 s -> 38 s).
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
fi

"$@"
