# Sourced by the scripts that run the program under Wine.

# Sets exe and driver to the built program and the UI driver, or stops when either is missing.
kelvor_require_program() {
  local build=${KELVOR_BUILD_DIR:-build/win32}  # another build directory may be named here
  exe=$build/KelvorStartupSettings.exe
  driver=$build/tools/ui_driver/kelvor-ui-driver.exe
  local file
  for file in "$exe" "$driver"; do
    [[ -f $file ]] || { echo "$1: $file is missing; build it first (make $1 does)" >&2; exit 1; }
  done
}

# Creates $WINEPREFIX as Windows would have it.
# Wine's own Tahoma and Marlett (package fonts-wine) are copied into the prefix's Fonts folder:
# without them dialogs fall back to another sans-serif and caption buttons show stray letters.
kelvor_create_prefix() {
  wineboot -i >/dev/null 2>&1 || return 1
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
  wineserver -w  # let the prefix settle before its first real use
}
