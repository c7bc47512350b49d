#!/usr/bin/env bash
# Installs what the build and the tests need on Debian 12, and nothing that is already there.
# Then makes sure Wine's 32-bit half can run: natively where the host executes 32-bit x86 code,
# otherwise under qemu-i386 user emulation (see scripts/wine-route.sh).
# KELVOR_WINE32=emulated forces the emulated route on a host that could run natively;
# KELVOR_WINE32=native removes it again. Unset, a host gets the emulated route only if it needs it.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/wine-route.sh

native=(cmake ninja-build g++ clang clang-format libgtest-dev googletest libbenchmark-dev libclang-rt-14-dev nlohmann-json3-dev python3)
cross=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
wine=(wine wine32:i386 wine64 fonts-wine xvfb xauth imagemagick)
extra=("$@")  # callers may ask for more, e.g. gnuplot-nox for the benchmarks

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive

is_installed() {
  [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null || true) == "install ok installed" ]]
}

apt_update() {
  # The i386 index of the security suite sometimes fails to download while everything else
  # updates; the suites we install from are complete, so a partial update is good enough.
  $sudo apt-get update -q || echo "install-deps: apt-get update reported errors; going on"
}

missing=()
for package in "${native[@]}" "${cross[@]}" "${wine[@]}" "${extra[@]}"; do
  is_installed "$package" || missing+=("$package")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "install-deps: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  apt_update
  $sudo apt-get install -y -q --no-install-recommends -t bookworm "${missing[@]}"
fi

# --- the route of Wine's 32-bit half -----------------------------------------------------------
mode=${KELVOR_WINE32:-auto}
case $mode in
  auto | native | emulated) ;;
  *) echo "install-deps: KELVOR_WINE32 must be auto, native or emulated, not '$mode'" >&2; exit 2 ;;
esac

runs_i386_natively() {
  # The 32-bit loader from libc6:i386 (which wine32 brings) asked for its version.
  /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

if [[ $mode == native ]]; then
  if [[ -f $kelvor_binfmt_entry ]]; then
    echo "install-deps: KELVOR_WINE32=native: removing the qemu-i386 route, so 32-bit programs run on the CPU"
    echo -1 | $sudo tee "$kelvor_binfmt_entry" >/dev/null
  fi
  runs_i386_natively || echo "install-deps: warning: this host cannot execute 32-bit x86 code; Wine's 32-bit programs will fail" >&2
  exit 0
fi

if [[ -f $kelvor_binfmt_entry ]]; then
  # Registered before (needed, or forced): keep it, switched on.
  if [[ $(kelvor_wine_route) != emulated ]]; then
    echo 1 | $sudo tee "$kelvor_binfmt_entry" >/dev/null
  fi
  exit 0
fi
if [[ $mode == auto ]] && runs_i386_natively; then
  exit 0
fi

if [[ $mode == emulated ]]; then
  echo "install-deps: KELVOR_WINE32=emulated: running Wine's 32-bit half under qemu-i386 user emulation although this host could run it natively"
else
  echo "install-deps: this host cannot execute 32-bit x86 code, so Wine's 32-bit half will run under qemu-i386 user emulation (registered with binfmt_misc)"
fi

# qemu-user 9.1 or later: bookworm's 7.2 lacks MAP_FIXED_NOREPLACE, which Wine's loader uses, and
# then every 32-bit process takes over a minute to start.
version=$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || true)
if ! is_installed qemu-user || dpkg --compare-versions "$version" lt 1:9.1; then
  backports=/etc/apt/sources.list.d/kelvor-bookworm-backports.sources
  if ! grep -rqs 'bookworm-backports' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    printf '%s\n' 'Types: deb' 'URIs: http://deb.debian.org/debian' 'Suites: bookworm-backports' \
      'Components: main' 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg' |
      $sudo tee "$backports" >/dev/null
  fi
  apt_update
  $sudo apt-get install -y -q --no-install-recommends -t bookworm-backports qemu-user
fi

if [[ ! -f $kelvor_binfmt_dir/register ]]; then
  $sudo mount -t binfmt_misc binfmt_misc "$kelvor_binfmt_dir"
fi
# i386 ELF executables (the magic and mask qemu ships), started through the wrapper that keeps
# argv[0]; F opens the interpreter now, so it also works inside other mount namespaces.
interpreter=/usr/libexec/qemu-binfmt/i386-binfmt-P
magic='\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00'
mask='\xff\xff\xff\xff\xff\xfe\xfe\xfc\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff'
printf ':kelvor-i386:M::%s:%s:%s:PF' "$magic" "$mask" "$interpreter" |
  $sudo tee "$kelvor_binfmt_dir/register" >/dev/null
runs_i386_natively || { echo "install-deps: the qemu-i386 route does not run 32-bit programs" >&2; exit 1; }
