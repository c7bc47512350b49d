#!/usr/bin/env bash
# Runs the program under Wine in the project's own prefix .wine-run/ (made on first use, with the
# sample installation of scripts/sample-install.sh), so saved settings are still there next time.
# Usage: scripts/run.sh [ARGS...]     e.g. scripts/run.sh -p   (the sample installation's file)
# Builds nothing: `make run` builds first. With a display the program is yours to use; without
# one it runs under Xvfb, a screenshot is written to build/run-screenshot.png, and it is closed.
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/wine-prefix.sh
kelvor_require_program run

if [[ -z ${DISPLAY:-} ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --headless "$@"
fi
headless=0
if [[ ${1:-} == --headless ]]; then
  headless=1
  shift
fi

export WINEPREFIX=$PWD/.wine-run
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  echo "run: creating the Wine prefix $WINEPREFIX (first run only)"
  kelvor_create_prefix
fi
scripts/sample-install.sh "$exe"
# Xvfb has no window manager to draw title bars and frames; Wine then draws them itself.
x11_key='HKCU\Software\Wine\X11 Driver'
if [[ $headless -eq 1 ]]; then
  wine reg add "$x11_key" /v Decorated /t REG_SZ /d N /f >/dev/null
else
  wine reg delete "$x11_key" /v Decorated /f >/dev/null 2>&1 || true
fi
# The copy inside the sample installation: with -p it finds C:\Kelvor\Kelvor_ss two levels up.
program='C:\Kelvor\bin\win\KelvorStartupSettings.exe'

if [[ $headless -eq 0 ]]; then
  echo "run: starting $program $* in $WINEPREFIX"
  wine "$program" "$@"
  exit 0
fi

wine "$program" "$@" &
program_pid=$!
status=0
if wine "$driver" wait-window >/dev/null; then
  sleep 2  # let it paint
  mkdir -p build
  geometry=$(wine "$driver" rect | tr -d '\r')
  import -window root -crop "$geometry" +repage build/run-screenshot.png
  echo "run: no display, so the window was shown under Xvfb: see build/run-screenshot.png"
  wine "$driver" close >/dev/null
else
  echo "run: the window did not appear (a message box may be waiting, e.g. a missing settings file)" >&2
  wine "$driver" --class '#32770' --timeout 1 dump >&2 || true
  import -window root build/run-screenshot.png && echo "run: the screen is in build/run-screenshot.png" >&2
  status=1
fi
wait "$program_pid" || true
wineserver -k  # the prefix's own server, so nothing outlives the virtual display
exit $status
