#!/usr/bin/env bash
# Ends with 0 when this machine's Linux kernel runs 32-bit code, which a WoW64 Wine needs for
# every 32-bit Windows program; a kernel started with ia32_emulation=0 (or built without IA32
# emulation) does not, and every 32-bit program then faults before its first instruction.
# A 32-bit system call from a small program tells: without that support it faults.
set -euo pipefail
probe=$(mktemp -d)
trap 'rm -rf "$probe"' EXIT
printf '%s\n' 'int main(void) { long r; __asm__ volatile("int $0x80" : "=a"(r) : "a"(20L)); return r <= 0; }' >"$probe/p.c"
cc -o "$probe/p" "$probe/p.c"
("$probe/p") 2>/dev/null
