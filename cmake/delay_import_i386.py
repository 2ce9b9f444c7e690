"""Makes the 32-bit delay-import library of a system library from its list of exports.

    delay_import_i386.py DEF DLL OUT DLLTOOL AR NM

dlltool's own 32-bit delay-import library cannot be linked as it is: each of its members holds
a function's call slot and, in the same member, the code that the slot points to until the
first call. The linker drops that code as an unused import thunk (callers call through the
slot, never the code by name), and the slot then holds 0, so the first call jumps to address 0.
Here the descriptor and the tables' ends are dlltool's, and each function becomes two members:
its slot and name (in the import tables' sections) and, apart, the code that the slot points
to, which the linker keeps because the slot names it.
"""
import os
import shutil
import struct
import subprocess
import sys

IMAGE_FILE_MACHINE_I386 = 0x14C
REL_DIR32, REL_DIR32NB, REL_REL32 = 0x06, 0x07, 0x14
TEXT = 0x60300020  # code, executable, readable, 4-byte aligned
IDATA = 0xC0300040  # initialised data, readable, writable, 4-byte aligned
IDATA_NAMES = 0xC0200040  # the same, 2-byte aligned
EXTERNAL, STATIC = 2, 3


def coff_object(sections, symbols):
    """sections: (name, characteristics, data, [(offset, symbol index, type)]);
    symbols: (name, value, section number or 0 for undefined, storage class)."""
    strings = bytearray()

    def name_field(name):
        raw = name.encode()
        if len(raw) <= 8:
            return raw.ljust(8, b"\0")
        offset = 4 + len(strings)
        strings.extend(raw + b"\0")
        return struct.pack("<II", 0, offset)

    header_size = 20 + 40 * len(sections)
    body = bytearray()
    headers = bytearray()
    for name, flags, data, relocs in sections:
        data_at = header_size + len(body)
        body.extend(data)
        relocs_at = header_size + len(body)
        for offset, symbol, kind in relocs:
            body.extend(struct.pack("<IIH", offset, symbol, kind))
        headers.extend(name_field(name))
        headers.extend(struct.pack("<IIIIIIHHI", 0, 0, len(data), data_at,
                                   relocs_at if relocs else 0, 0, len(relocs), 0, flags))
    symbol_table = bytearray()
    for name, value, section, storage in symbols:
        symbol_table.extend(name_field(name))
        symbol_table.extend(struct.pack("<IhHBB", value, section, 0x20 if section and storage ==
                                        EXTERNAL else 0, storage, 0))
    file_header = struct.pack("<HHIIIHH", IMAGE_FILE_MACHINE_I386, len(sections), 0,
                              header_size + len(body), len(symbols), 0, 0)
    return (file_header + headers + body + symbol_table +
            struct.pack("<I", 4 + len(strings)) + strings)


def slot_member(symbol, name):
    names = struct.pack("<H", 0) + name.encode() + b"\0"
    if len(names) % 2:
        names += b"\0"
    return coff_object(
        [(".idata$5", IDATA, bytes(4), [(0, 2, REL_DIR32)]),
         (".idata$4", IDATA, bytes(4), [(0, 1, REL_DIR32NB)]),
         (".idata$6", IDATA_NAMES, names, [])],
        [("__imp_" + symbol, 0, 1, EXTERNAL), (".idata$6", 0, 3, STATIC),
         ("__delay_load_" + symbol, 0, 0, EXTERNAL)])


def code_member(symbol, merge):
    # jmp *slot; then, the slot's first target: mov $slot, %eax; jmp <tail merge>
    code = b"\xff\x25" + bytes(4) + b"\xb8" + bytes(4) + b"\xe9" + bytes(4) + b"\x90"
    return coff_object(
        [(".text", TEXT, code, [(2, 2, REL_DIR32), (7, 2, REL_DIR32), (12, 3, REL_REL32)])],
        [(symbol, 0, 1, EXTERNAL), ("__delay_load_" + symbol, 6, 1, EXTERNAL),
         ("__imp_" + symbol, 0, 0, EXTERNAL), (merge, 0, 0, EXTERNAL)])


def main():
    definition, dll, out, dlltool, ar, nm = sys.argv[1:7]
    definition = os.path.abspath(definition)
    out = os.path.abspath(out)
    work = out + ".parts"
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    lib = os.path.basename(out)
    # Inside the work folder: dlltool names the members and the tail-merge code after the
    # library's name as given, the same in every build tree.
    subprocess.run([dlltool, "-m", "i386", "--kill-at", "--input-def", definition, "--dllname",
                    dll, "--output-delaylib", lib], cwd=work, check=True)
    subprocess.run([ar, "x", lib], cwd=work, check=True)
    prefix = lib.replace(".", "_")
    head, tail = prefix + "_h.o", prefix + "_t.o"
    symbols = subprocess.run([nm, os.path.join(work, head)], check=True, capture_output=True,
                             text=True).stdout.split("\n")
    merge = next((line.split()[-1] for line in symbols if " T ___tailMerge_" in line), None)
    if merge is None:
        sys.exit(f"no tail-merge code in {head}")
    with open(definition) as f:
        lines = [line.strip() for line in f]
    exports = [line for line in lines[lines.index("EXPORTS") + 1:] if line]
    members = [head]
    for n, export in enumerate(exports):
        symbol = "_" + export  # the name callers use; the library exports it without "@N"
        for kind, data in (("s", slot_member(symbol, export.split("@")[0])),
                           ("c", code_member(symbol, merge))):
            member = f"{prefix}_{kind}{n:05d}.o"
            with open(os.path.join(work, member), "wb") as f:
                f.write(data)
            members.append(member)
    members.append(tail)
    os.remove(os.path.join(work, lib))
    subprocess.run([ar, "rcsD", lib] + members, cwd=work, check=True)
    os.replace(os.path.join(work, lib), out)
    shutil.rmtree(work)


if __name__ == "__main__":
    main()
