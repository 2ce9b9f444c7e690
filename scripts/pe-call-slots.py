"""Checks that every call slot of a program's import tables that its code calls through holds
something in the file: a slot of the loader's import tables holds its function's name (the
loader writes the address over it), a delay-loaded function's slot the address of the code
that loads the library at the first call. A slot that holds 0 makes the call jump to 0.

    pe-call-slots.py OBJDUMP PROGRAM
"""
import re
import subprocess
import sys

objdump, program = sys.argv[1:3]
headers = subprocess.run([objdump, "-h", program], check=True, capture_output=True,
                         text=True).stdout
sections = {}
for match in re.finditer(r"^\s*\d+\s+(\S+)\s+([0-9a-f]+)\s+([0-9a-f]+)", headers, re.M):
    sections[match.group(1)] = (int(match.group(3), 16), int(match.group(2), 16))
if ".idata" not in sections:
    sys.exit(f"{program}: no import tables")
start, size = sections[".idata"]
code = subprocess.run([objdump, "-d", "-j", ".text", program], check=True, capture_output=True,
                      text=True).stdout
slots = {int(a, 16) for a in re.findall(r"\t(?:call|jmp)\s+\*0x([0-9a-f]+)$", code, re.M)}
slots = sorted(a for a in slots if start <= a < start + size)
dump = subprocess.run([objdump, "-s", "-j", ".idata", program], check=True, capture_output=True,
                      text=True).stdout
data = bytearray()
for line in dump.splitlines():
    match = re.match(r"^ ([0-9a-f]+) ((?:[0-9a-f]{2,8} ?){1,4})", line)
    if match and int(match.group(1), 16) == start + len(data):
        data.extend(bytes.fromhex(match.group(2).replace(" ", "")))
empty = [a for a in slots if int.from_bytes(data[a - start:a - start + 4], "little") == 0]
print(f"call slots: {len(slots)}, empty: {len(empty)}")
for a in empty:
    print(f"the call slot at {a:#x} holds 0: a call through it jumps to address 0")
sys.exit(1 if empty else 0)
