#!/usr/bin/python3
"""Sees each rule of check_pe.py fail: one edit of a good binary per row of
EDITS, made with pefile on a copy (and its .debug), must make the check fail
with exactly that row's rule id and no other. Every rule has a row.

usage: check_pe_rules_test.py WORK SOURCE_DIR EXE STRX_DLL DLL [DLL_ARG...]
EXE and DLL are good files that pass check_pe.py (DLL with DLL_ARGs);
STRX_DLL (cmake/strx_forms.c) must fail as it is built.
"""
import os
import re
import shutil
import struct
import subprocess
import sys
import zlib

import pefile

import check_pe

CHECK = check_pe.__file__
DIRECTORY = pefile.DIRECTORY_ENTRY


def clear(pe, flag):
    pe.OPTIONAL_HEADER.DllCharacteristics &= ~pefile.DLL_CHARACTERISTICS["IMAGE_DLLCHARACTERISTICS_" + flag]


def section(pe, name):
    return next(s for n, s in zip(check_pe.section_names(pe, pe.__data__), pe.sections) if n == name)


def room(pe, size):
    """(file offset, RVA) of `size` bytes after a data section's contents,
    in its padding to the file alignment, now part of the section."""
    for s in pe.sections:
        used = (s.Misc_VirtualSize + 15) & ~15
        if not s.Characteristics & 0x20000000 and s.SizeOfRawData - used >= size:
            s.Misc_VirtualSize = used + size
            return s.PointerToRawData + used, s.VirtualAddress + used
    sys.exit("no section with room for an added import")


def add_import(pe, dll):
    """An import descriptor for `dll` (with the first DLL's names) added to
    the import table, which moves to `room`."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[DIRECTORY["IMAGE_DIRECTORY_ENTRY_IMPORT"]]
    first, name = pe.DIRECTORY_ENTRY_IMPORT[0].struct, dll.encode() + b"\0"
    old = pe.get_data(entry.VirtualAddress, 20 * len(pe.DIRECTORY_ENTRY_IMPORT))   # without the closing zeros
    offset, rva = room(pe, len(old) + 40 + len(name))
    # OriginalFirstThunk, TimeDateStamp, ForwarderChain, Name, FirstThunk
    added = struct.pack("<5L", first.OriginalFirstThunk, 0, 0, rva + len(old) + 40, first.FirstThunk)
    pe.set_bytes_at_offset(offset, old + added + bytes(20) + name)
    entry.VirtualAddress, entry.Size = rva, len(old) + 40


def add_delay_import(pe, dll):
    """A delay-load descriptor for `dll` (with the first DLL's names)."""
    entry = pe.OPTIONAL_HEADER.DATA_DIRECTORY[DIRECTORY["IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT"]]
    first, name = pe.DIRECTORY_ENTRY_IMPORT[0].struct, dll.encode() + b"\0"
    offset, rva = room(pe, 4 + 64 + len(name))
    # Attributes (RVAs), name, module handle, IAT, INT, bound IAT, unload IAT,
    # time stamp; the module handle is the 4 bytes before the descriptor.
    added = struct.pack("<8L", 1, rva + 68, rva, first.FirstThunk, first.OriginalFirstThunk, 0, 0, 0)
    pe.set_bytes_at_offset(offset, bytes(4) + added + bytes(32) + name)
    entry.VirtualAddress, entry.Size = rva + 4, 64


def rename_import(pe, new):
    """The first imported name long enough overwritten with `new`. (pefile's
    own setter points the thunk at the name, not at its hint.)"""
    imported = next(i for i in pe.DIRECTORY_ENTRY_IMPORT[0].imports if i.name and len(i.name) >= len(new))
    pe.set_bytes_at_offset(imported.name_offset, new.ljust(len(imported.name), b"\0"))


def rename_export(pe, old, new):
    exported = next(s for s in pe.DIRECTORY_ENTRY_EXPORT.symbols if s.name == old)
    pe.set_bytes_at_offset(exported.name_offset, new)


def crc_offset(pe):
    """Where .gnu_debuglink holds its CRC: after the name, its zero and
    padding to a multiple of 4."""
    link = section(pe, ".gnu_debuglink")
    return link.PointerToRawData + ((link.get_data().index(b"\0") + 4) & ~3)


def own_unit(path):
    """(file offset of its producer, an inline string; the producer; file
    offset of its name's offset into a string section) of the first unit in
    the .debug file that check_pe.is_own_unit selects."""
    with open(path + ".debug", "rb") as f:
        data = f.read()
    dwarf = check_pe.dwarf_info(pefile.PE(data=data, fast_load=True), data)
    for unit in dwarf.iter_CUs():
        name, comp_dir, producer = map(unit.get_top_DIE().attributes.get, ("DW_AT_name", "DW_AT_comp_dir", "DW_AT_producer"))
        if check_pe.is_own_unit(name.value.decode(), comp_dir.value.decode(), os.path.realpath(sys.argv[2])):
            assert producer.form == "DW_FORM_string" and name.form in ("DW_FORM_strp", "DW_FORM_line_strp")
            info = dwarf.debug_info_sec.global_offset
            return info + producer.offset, producer.value, info + name.offset


def edit_debug(pe, path, offset, new):
    """`new` written at `offset` of the .debug file; the debuglink CRC follows."""
    with open(path + ".debug", "r+b") as f:
        f.seek(offset)
        f.write(new)
        f.seek(0)
        pe.set_dword_at_offset(crc_offset(pe), zlib.crc32(f.read()))


def unprotect(pe, path):
    """An own unit's producer says -fno-stack-protector."""
    at, producer, _ = own_unit(path)
    edit_debug(pe, path, at, producer.replace(b" -fstack-protector-strong", b" -fno-stack-protector    "))


def flip_crc(pe, path):
    pe.set_dword_at_offset(crc_offset(pe), pe.get_dword_from_offset(crc_offset(pe)) ^ 1)


# rule                file   edit of the good file's copy (pe, path)
EDITS = [
    ("machine",           "dll", lambda pe, p: setattr(pe.FILE_HEADER, "Machine", 0x8664)),
    ("machine",           "exe", lambda pe, p: setattr(pe.OPTIONAL_HEADER, "Magic", 0x107)),   # a ROM image's
    ("system-imports",    "dll", lambda pe, p: add_import(pe, "version.dll")),
    ("system-imports",    "exe", lambda pe, p: add_delay_import(pe, "version.dll")),
    ("cxx-imports",       "dll", lambda pe, p: rename_import(pe, b"_Z1fv")),
    ("debug-sections",    "dll", lambda pe, p: setattr(section(pe, ".rdata"), "Name", b".debug_r")),
    ("plain-exports",     "dll", lambda pe, p: rename_export(pe, b"Shade", b"_Shad")),
    ("debuglink",         "exe", flip_crc),
    ("dynamic-base",      "dll", lambda pe, p: clear(pe, "DYNAMIC_BASE")),
    ("relocations",       "dll", lambda pe, p: setattr(pe.OPTIONAL_HEADER.DATA_DIRECTORY[DIRECTORY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]], "Size", 0)),
    ("nx-compat",         "dll", lambda pe, p: clear(pe, "NX_COMPAT")),
    ("no-seh",            "dll", lambda pe, p: clear(pe, "NO_SEH")),
    ("gui-subsystem",     "dll", lambda pe, p: setattr(pe.OPTIONAL_HEADER, "Subsystem", 3)),
    ("subsystem-version", "dll", lambda pe, p: setattr(pe.OPTIONAL_HEADER, "MajorSubsystemVersion", 5)),
    ("os-version",        "dll", lambda pe, p: setattr(pe.OPTIONAL_HEADER, "MajorOperatingSystemVersion", 5)),
    ("wx-sections",       "dll", lambda pe, p: setattr(section(pe, ".text"), "Characteristics", section(pe, ".text").Characteristics | 0x80000000)),
    ("stack-cookies",     "dll", unprotect),
    ("stack-cookies",     "dll", lambda pe, p: edit_debug(pe, p, own_unit(p)[2], b"\xf0\xff\xff\xff")),   # its name past the strings' end
    ("stack-cookies",     "strx", lambda pe, p: None),
    ("terminal-server",   "exe", lambda pe, p: clear(pe, "TERMINAL_SERVER_AWARE")),
]


def main():
    work, source_dir, exe, strx, dll, dll_args = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5], sys.argv[6:]
    files = {"exe": (exe, []), "strx": (strx, []), "dll": (dll, dll_args)}
    failed = [f"no row for rule {rule.id}" for rule in check_pe.RULES if rule.id not in {row[0] for row in EDITS}]
    shutil.rmtree(work, ignore_errors=True)
    for number, (rule, kind, edit) in enumerate(EDITS):
        good, args = files[kind]
        folder = os.path.join(work, f"{number}-{rule}")
        os.makedirs(folder)
        path = os.path.join(folder, os.path.basename(good))
        shutil.copy(good + ".debug", path + ".debug")
        pe = pefile.PE(good)
        edit(pe, path)
        pe.write(path)
        out = subprocess.run([sys.executable, CHECK, path, "--source-dir", source_dir] + args,
                             capture_output=True, text=True)
        seen = re.findall(r"^  \[([a-z-]+)\] (.*)$", out.stderr, re.M)
        print(f"{rule:18} {os.path.basename(good):12} {seen[0][1] if len(seen) == 1 else out.stdout + out.stderr}")
        if out.returncode != 1 or [r for r, _ in seen] != [rule]:
            failed.append(f"{rule} on {path}: expected [{rule}] alone, saw exit {out.returncode} and\n{out.stdout}{out.stderr}")
    if failed:
        sys.exit("FAIL " + "\nFAIL ".join(failed))


if __name__ == "__main__":
    main()
