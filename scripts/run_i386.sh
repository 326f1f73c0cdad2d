#!/usr/bin/env bash
# Runs a 32-bit x86 Linux program with its arguments: natively where the kernel runs 32-bit
# programs, otherwise under Debian's qemu-i386 on the multiarch libraries. The i386 build uses it as
# its test emulator, so its tests run on every machine.
here=$(cd "$(dirname "$0")" && pwd)
. "$here/cross_probe.sh"
if [ "$(kestrova_i386_mode)" = native ]; then exec "$@"; fi
exec qemu-i386 -L / "$@"
