#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing that is already there.
set -euo pipefail

native=(cmake ninja-build g++ clang clang-format libgtest-dev googletest libbenchmark-dev libclang-rt-14-dev python3)
cross=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
wine=(wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick)
extra=("$@")  # callers may ask for more, e.g. gnuplot-nox for the benchmarks

missing=()
for package in "${native[@]}" "${cross[@]}" "${wine[@]}" "${extra[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "install-deps: installing ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
# The i386 index of the security suite sometimes fails to download while everything else
# updates; the bookworm suite alone has what we need, so a partial update is good enough.
$sudo apt-get update -q || echo "install-deps: apt-get update reported errors; going on"
$sudo apt-get install -y -q --no-install-recommends -t bookworm "${missing[@]}"
