# Sourced: how Wine's 32-bit half runs on this host.
# Debian's wine launcher and wine32 are 32-bit Linux programs. Where the CPU (or the
# virtualisation around it) refuses 32-bit x86 code they run under qemu-i386 user emulation,
# which the kernel starts for them through a binfmt_misc entry of ours.

kelvor_binfmt_dir=/proc/sys/fs/binfmt_misc
kelvor_binfmt_entry=$kelvor_binfmt_dir/kelvor-i386

# Prints "emulated" when our qemu-i386 entry is registered and enabled, else "native".
kelvor_wine_route() {
  if [[ -f $kelvor_binfmt_entry ]] && head -n1 "$kelvor_binfmt_entry" | grep -qx enabled; then
    echo emulated
  else
    echo native
  fi
}

# The route as a summary line can say it, so figures from the two are never mixed up.
kelvor_wine_route_text() {
  if [[ $(kelvor_wine_route) == emulated ]]; then
    echo "emulated (Wine's 32-bit half under qemu-i386 user emulation)"
  else
    echo "native (32-bit x86 code runs on the CPU)"
  fi
}
