#!/usr/bin/env bash
# Sourced by the cross-build scripts: finds out what this machine can run, by trying it.
#   kestrova_i386_mode    prints "native" when the kernel runs a tiny 32-bit x86 program, else "qemu"
#   kestrova_wine32_runs  succeeds when 32-bit wine can start (its loader is a 32-bit program)
#   kestrova_wine_loader  EXE: prints the wine loader for a Windows program (32- or 64-bit)
# KESTROVA_NO_32BIT=1 pretends the kernel runs no 32-bit programs, to try that path anywhere.

kestrova_probe_dir() {
  local dir=${KESTROVA_CACHE:-$HOME/.cache/kestrova}/probe
  mkdir -p "$dir"
  echo "$dir"
}

kestrova_i386_mode() {
  if [ "${KESTROVA_NO_32BIT:-0}" = 1 ]; then echo qemu; return; fi
  local dir program
  dir=$(kestrova_probe_dir)
  program=$dir/exit0-i386
  if [ ! -x "$program" ]; then
    # An exit(0) system call, assembled and linked with binutils alone (no 32-bit libraries needed).
    printf '.globl _start\n_start:\n  movl $1, %%eax\n  xorl %%ebx, %%ebx\n  int $0x80\n' >"$dir/exit0.s"
    as --32 "$dir/exit0.s" -o "$dir/exit0.o" && ld -m elf_i386 "$dir/exit0.o" -o "$program.new" &&
      mv "$program.new" "$program" || { echo qemu; return; }
  fi
  if "$program" 2>/dev/null; then echo native; else echo qemu; fi
}

kestrova_wine32_runs() {
  [ "$(kestrova_i386_mode)" = native ] && [ -x /usr/lib/wine/wine ] &&
    /usr/lib/wine/wine --version >/dev/null 2>&1
}

# PE32+ (64-bit) programs have the optional-header magic 0x20b; PE32 ones 0x10b.
kestrova_wine_loader() {
  local offset magic
  offset=$(od -An -t u4 -j 60 -N 4 "$1" | tr -d ' ')
  magic=$(od -An -t x2 -j $((offset + 24)) -N 2 "$1" | tr -d ' ')
  if [ "$magic" = 020b ]; then echo /usr/lib/wine/wine64; else echo wine; fi
}
