#!/usr/bin/env bash
# Puts a sample Kelvor installation and a few registered Java installations into $WINEPREFIX, so the
# window has a settings file to read and several Java entries to offer.
# Usage: WINEPREFIX=... scripts/sample-install.sh PROGRAM.exe
#   C:\Kelvor\bin\win\KelvorStartupSettings.exe   the program (always refreshed)
#   C:\Kelvor\Kelvor_ss                           settings file (kept once it exists: saves persist)
#   C:\Kelvor\bin\bundled\java                    the runtime shipped inside the installation
#   Eclipse Adoptium 21, Oracle JDK 17, Zulu 17, Microsoft OpenJDK 21 and an Oracle JRE 8 (too old
#   to be offered), registered under HKLM as their installers do; HKCU\Software\ORVEL\KELVOR.
set -euo pipefail

program=${1:?usage: sample-install.sh PROGRAM.exe}
: "${WINEPREFIX:?WINEPREFIX must name the Wine prefix}"
drive_c=$WINEPREFIX/drive_c
kelvor=$drive_c/Kelvor

# A Java home that the program's checks accept: real program images as java.exe and javaw.exe
# (any executable passes the type check), java.dll and a release file.
make_java_home() {
  local home=$1 version=$2
  mkdir -p "$home/bin"
  cp "$program" "$home/bin/java.exe"
  cp "$program" "$home/bin/javaw.exe"
  : >"$home/bin/java.dll"
  printf 'IMPLEMENTOR="Sample"\r\nJAVA_VERSION="%s"\r\n' "$version" >"$home/release"
}

mkdir -p "$kelvor/bin/win"
cp "$program" "$kelvor/bin/win/KelvorStartupSettings.exe"
make_java_home "$kelvor/bin/bundled/java" "21.0.4"
if [[ ! -f $kelvor/Kelvor_ss ]]; then
  printf '%s\r\n' 'Arguments: -J-Xmx2048m' 'Java:bin\bundled\java\bin\java.exe' 'Scale:Default' \
    'Verbose:No' 'AllowUIScale:No' 'DisableDD2:No' 'KeepWS:No' 'LegacyMS2:Yes' 'PreferIPv4:No' \
    >"$kelvor/Kelvor_ss"
fi

programs='C:\Program Files'
make_java_home "$drive_c/Program Files/Eclipse Adoptium/jdk-21.0.5.11-hotspot" "21.0.5"
make_java_home "$drive_c/Program Files/Java/jdk-17" "17.0.12"
make_java_home "$drive_c/Program Files/Zulu/zulu-17" "17.0.13"
make_java_home "$drive_c/Program Files/Microsoft/jdk-21.0.5.11-hotspot" "21.0.5"
make_java_home "$drive_c/Program Files/Java/jre1.8.0_431" "1.8.0_431"

# `reg add` of the 64-bit reg.exe writes the 64-bit view, where 64-bit installers register.
add() { wine reg add "$1" /v "$2" /t REG_SZ /d "$3" /f >/dev/null; }
add 'HKLM\Software\Eclipse Adoptium\JDK\21.0.5.11\hotspot\MSI' Path \
  "$programs\\Eclipse Adoptium\\jdk-21.0.5.11-hotspot\\"
add 'HKLM\Software\JavaSoft\JDK\17.0.12' JavaHome "$programs\\Java\\jdk-17"
add 'HKLM\Software\Azul Systems\Zulu\zulu-17' InstallationPath "$programs\\Zulu\\zulu-17\\"
add 'HKLM\Software\Microsoft\JDK\21.0.5.11\hotspot\MSI' Path \
  "$programs\\Microsoft\\jdk-21.0.5.11-hotspot\\"
add 'HKLM\Software\JavaSoft\Java Runtime Environment\1.8.0_431' JavaHome "$programs\\Java\\jre1.8.0_431"

# Registry-mode settings, unless an earlier run saved some.
if ! wine reg query 'HKCU\Software\ORVEL\KELVOR' /v Arguments >/dev/null 2>&1; then
  add 'HKCU\Software\ORVEL\KELVOR' Arguments ' -J-Xmx4096m'
  add 'HKCU\Software\ORVEL\KELVOR' Java "$programs\\Eclipse Adoptium\\jdk-21.0.5.11-hotspot\\bin\\java.exe"
  add 'HKCU\Software\ORVEL\KELVOR' Scale 'Default'
fi
