# Sourced by the scripts that make a Wine prefix: creates $WINEPREFIX as Windows would have it.
# Wine's own Tahoma and Marlett (package fonts-wine) are copied into the prefix's Fonts folder:
# without them dialogs fall back to another sans-serif and caption buttons show stray letters.
kelvor_create_prefix() {
  wineboot -i >/dev/null 2>&1 || return 1
  local fonts=$WINEPREFIX/drive_c/windows/Fonts
  mkdir -p "$fonts"
  cp /usr/share/wine/fonts/*.ttf "$fonts"/ 2>/dev/null || true
  wineserver -w  # let the prefix settle before its first real use
}
