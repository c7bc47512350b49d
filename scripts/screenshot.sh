#!/usr/bin/env bash
# Renders the window from the sample installation under Xvfb into docs/screenshot.png, cropped to
# the window with the Java list open so that the offered installations show.
# Also leaves the window alone in build/screenshot-window.png. Builds nothing (`make screenshot` does).
set -euo pipefail
cd "$(dirname "$0")/.."

source scripts/wine-prefix.sh
kelvor_require_program screenshot

if [[ ${1:-} != --inside ]]; then
  # Always a virtual screen of its own, whatever display the user has; a throwaway prefix inside.
  exec env -u DISPLAY KELVOR_IN_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" \
    scripts/with-wine.sh "$0" --inside
fi

scripts/sample-install.sh "$exe"
# Xvfb has no window manager to draw title bars and frames; Wine draws them itself when asked.
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null
wine 'C:\Kelvor\bin\win\KelvorStartupSettings.exe' -p &
program_pid=$!
wine "$driver" wait-window >/dev/null
sleep 2  # let it paint
mkdir -p build docs
import -window root -crop "$(wine "$driver" rect | tr -d '\r')" +repage build/screenshot-window.png
java_combo=9980
wine "$driver" dropdown $java_combo
sleep 1
import -window root -crop "$(wine "$driver" rect $java_combo | tr -d '\r')" +repage docs/screenshot.png
wine "$driver" close >/dev/null
wait "$program_pid" || true
echo "screenshot: docs/screenshot.png (window with the Java list open), build/screenshot-window.png"
