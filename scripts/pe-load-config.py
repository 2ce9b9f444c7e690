#!/usr/bin/env python3
"""The load configuration of a Windows program file (PE32 or PE32+).

    pe-load-config.py set EXE MAP SYMBOL   point the file's load-configuration directory at
                                           the structure SYMBOL (its address from the link map)
    pe-load-config.py check EXE            fail unless the file has a load configuration whose
                                           DependentLoadFlags is LOAD_LIBRARY_SEARCH_SYSTEM32

The GNU linker does not fill in the load-configuration directory itself; the build does it
here after the link. Standard library only."""

import re
import struct
import sys

LOAD_CONFIG_ENTRY = 10
LOAD_LIBRARY_SEARCH_SYSTEM32 = 0x800
# Offsets in IMAGE_LOAD_CONFIG_DIRECTORY32 / 64: DependentLoadFlags and SecurityCookie.
LAYOUT = {0x10B: (0x36, 0x3C, "<I"), 0x20B: (0x4E, 0x58, "<Q")}


class Pe:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ file")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE header")
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        self.optional = pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        if self.magic not in LAYOUT:
            raise ValueError(f"unknown optional header {self.magic:#x}")
        plus = self.magic == 0x20B
        self.image_base = struct.unpack_from("<Q" if plus else "<I", data, self.optional + (24 if plus else 28))[0]
        self.image_size = struct.unpack_from("<I", data, self.optional + 56)[0]
        self.directories = self.optional + (112 if plus else 96)
        self.sections = []
        table = self.optional + optional_size
        for i in range(sections):
            size, rva, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            self.sections.append((rva, max(size, raw_size), raw))

    def directory(self, entry):
        return struct.unpack_from("<II", self.data, self.directories + 8 * entry)

    def set_directory(self, entry, rva, size):
        struct.pack_into("<II", self.data, self.directories + 8 * entry, rva, size)

    def offset(self, rva):
        for start, size, raw in self.sections:
            if start <= rva < start + size:
                return raw + rva - start
        raise ValueError(f"address {rva:#x} is in no section")


def check(pe):
    """DependentLoadFlags and the cookie's address, or an error."""
    rva, size = pe.directory(LOAD_CONFIG_ENTRY)
    if not rva:
        raise ValueError("no load configuration")
    flags_at, cookie_at, cookie_format = LAYOUT[pe.magic]
    at = pe.offset(rva)
    declared = struct.unpack_from("<I", pe.data, at)[0]
    if declared != size or size < cookie_at + struct.calcsize(cookie_format):
        raise ValueError(f"load configuration of {size} bytes (it says {declared})")
    flags = struct.unpack_from("<H", pe.data, at + flags_at)[0]
    cookie = struct.unpack_from(cookie_format, pe.data, at + cookie_at)[0]
    if cookie and not pe.image_base <= cookie < pe.image_base + pe.image_size:
        raise ValueError(f"security cookie at {cookie:#x}, outside the image")
    if flags != LOAD_LIBRARY_SEARCH_SYSTEM32:
        raise ValueError(f"DependentLoadFlags is {flags:#x}, not {LOAD_LIBRARY_SEARCH_SYSTEM32:#x}")
    return size, flags, cookie


def main(args):
    if len(args) == 4 and args[0] == "set":
        exe, link_map, symbol = args[1:]
        with open(link_map, encoding="utf-8", errors="replace") as f:
            found = re.search(r"^\s+0x([0-9a-fA-F]+)\s+" + re.escape(symbol) + r"\s*$", f.read(), re.M)
        if not found:
            sys.exit(f"{symbol} is not in {link_map}")
        data = bytearray(open(exe, "rb").read())
        pe = Pe(data)
        rva = int(found.group(1), 16) - pe.image_base
        size = struct.unpack_from("<I", data, pe.offset(rva))[0]
        pe.set_directory(LOAD_CONFIG_ENTRY, rva, size)
        check(pe)
        open(exe, "wb").write(data)
    elif len(args) == 2 and args[0] == "check":
        try:
            size, flags, cookie = check(Pe(bytearray(open(args[1], "rb").read())))
        except ValueError as problem:
            sys.exit(f"load configuration: {problem}")
        print(f"load configuration: {size} bytes, DependentLoadFlags {flags:#x}, security cookie at {cookie:#x}")
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
