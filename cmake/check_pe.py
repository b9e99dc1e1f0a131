#!/usr/bin/python3
"""Checks a built 32-bit Windows binary without running it.

usage: check_pe.py FILE --source-dir DIR [--also-allowed A.DLL,...]
                   [--exports NAME,...] [--no-cxx-imports]

Reads FILE itself (pefile) and FILE.debug, the debug file beside it
(objcopy --only-keep-debug, cmake/SplitDebugInfo.cmake), whose symbols tell
which code is our own: without FILE.debug the check fails. DIR is the
source tree: code compiled from a file in it is our own.

Rules, one row each below: i386 (PE32); imports only from Windows' KnownDLLs
and ALSO_ALLOWED; no C++ (_Z...) imported name with --no-cxx-imports; no
debug sections; the --exports names exported exactly, undecorated; and
Windows' hardening baseline. Prints every broken rule, each after the file's
name, and exits 1; else prints one status line and exits 0.
Needs Debian's python3-pefile and python3-capstone (4.0.2 or 5).
"""
import argparse
import os
import struct
import sys

import capstone
import pefile

# Windows' KnownDLLs (always taken from the system folder, never from beside
# the program) that a shipped file may import, and comctl32.dll, which the
# manifest's side-by-side dependency binds. Any other DLL, version.dll for
# one, would be looked for first in the program's own folder, where a
# download may have planted a DLL of that name: load it at run time from the
# system folder instead.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "shlwapi.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll", "comdlg32.dll",
               "comctl32.dll"}

IMAGE_FILE_MACHINE_I386 = 0x14C
PE32_MAGIC = 0x10B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
SCN = {name: value for value, name in pefile.SECTION_CHARACTERISTICS.items() if isinstance(name, str)}
DLL = {name: value for value, name in pefile.DLL_CHARACTERISTICS.items() if isinstance(name, str)}

C_FILE = 103          # storage class of a .file record; its aux records hold the name
SYMBOL = struct.Struct("<8sLhHBB")


def string_table_at(data, pe):
    """The COFF string table, right after the symbol table."""
    start = pe.FILE_HEADER.PointerToSymbolTable + SYMBOL.size * pe.FILE_HEADER.NumberOfSymbols
    return data[start:] if pe.FILE_HEADER.PointerToSymbolTable else b""


def c_string(strings, offset):
    return strings[offset:strings.index(b"\0", offset)].decode("latin-1")


def section_names(pe, strings):
    """Section names, long ones ("/4") looked up in the string table."""
    names = []
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and name[1:].isdigit() and strings:
            name = c_string(strings, int(name[1:]))
        names.append(name)
    return names


def symbols(data, pe):
    """(name, value, section number, type, storage class, aux bytes) per record."""
    strings = string_table_at(data, pe)
    start, count = pe.FILE_HEADER.PointerToSymbolTable, pe.FILE_HEADER.NumberOfSymbols
    i = 0
    while i < count:
        raw, value, section, kind, storage, aux_count = SYMBOL.unpack_from(data, start + SYMBOL.size * i)
        if raw[:4] == b"\0\0\0\0":
            name = c_string(strings, struct.unpack("<L", raw[4:])[0])
        else:
            name = raw.rstrip(b"\0").decode("latin-1")
        aux = data[start + SYMBOL.size * (i + 1):start + SYMBOL.size * (i + 1 + aux_count)]
        if storage == C_FILE:
            # The file name: in the string table when the aux record starts
            # with four zero bytes, else the aux records' bytes themselves.
            if aux[:4] == b"\0\0\0\0" and len(aux) >= 8:
                aux = c_string(strings, struct.unpack("<L", aux[4:8])[0])
            else:
                aux = aux.split(b"\0")[0].decode("latin-1")
        yield name, value, section, kind, storage, aux
        i += 1 + aux_count


# COFF's .file aux record holds 14 characters; the linker cuts longer names
# to that unless it moves them to the string table.
FILE_NAME_LENGTH = 14
SOURCE_SUFFIXES = (".c", ".cc", ".cpp", ".S", ".s")
NOT_SOURCES = {"build", "dist", ".git"}  # folders that builds and git write into


def own_source_names(source_dir):
    """The file names of the source tree's C, C++ and assembly sources."""
    names = set()
    for folder, subfolders, files in os.walk(source_dir):
        subfolders[:] = [d for d in subfolders if d not in NOT_SOURCES]
        names.update(f for f in files if f.endswith(SOURCE_SUFFIXES))
    return names


def is_own_source(name, own_names):
    """Our own object files are those compiled from a file of the source tree.
    GCC records a source's file name without its folder in the object's .file
    record, and the linker may cut it to 14 characters: so an object file is
    ours when its .file name is the name of a source file of the tree, or,
    being exactly 14 characters long, the start of a longer one. The run-time
    code linked in from archives (mingw-w64's crt, libgcc, libstdc++, libssp)
    names its own sources (crtdll.c, pow.c, ...) or "fake" for import stubs,
    no name of this tree; were one named like ours, and built with debug
    information, its calls would count as ours."""
    if name in own_names:
        return True
    return len(name) == FILE_NAME_LENGTH and any(
        n.startswith(name) for n in own_names if len(n) > FILE_NAME_LENGTH)


def own_code(debug_path, data, debug, own_names):
    """Address ranges of the code compiled from our own sources, and
    __stack_chk_fail's address. Run-time objects linked in from archives may
    have no .file record at all (their debug symbols stripped), so the
    symbols after one of our .file records are not all ours. Our objects are
    compiled with -g, and the first .debug_aranges section symbol after an own
    .file record gives where that object's address ranges start in the
    .debug_aranges section: exactly its own code, as the compiler lists it."""
    own, aranges, stack_chk_fail = False, [], None
    for name, value, section, _, storage, aux in symbols(data, debug):
        if storage == C_FILE:
            own, taken = is_own_source(aux, own_names), False
        elif name == ".debug_aranges" and own and not taken:
            aranges.append((section, value))
            taken = True
        elif name in ("__stack_chk_fail", "___stack_chk_fail") and section > 0:
            stack_chk_fail = debug.OPTIONAL_HEADER.ImageBase + debug.sections[section - 1].VirtualAddress + value
    ranges = []
    for section, offset in aranges:
        # One set: length, version, .debug_info offset, address and segment
        # sizes (4 and 0 here), padding to 8 bytes, then (address, length)
        # pairs up to (0, 0).
        at = debug.sections[section - 1].PointerToRawData + offset
        length, version, _, address_size, _ = struct.unpack_from("<LHLBB", data, at)
        if address_size != 4:
            sys.exit(f"{debug_path}: a .debug_aranges set of version {version} with {address_size}-byte addresses")
        pair = at + 16
        while pair < at + 4 + length:
            address, size = struct.unpack_from("<LL", data, pair)
            if (address, size) == (0, 0):
                break
            ranges.append((address, size))
            pair += 8
    return ranges, stack_chk_fail


def cookie_checks(pe, debug_path, source_dir):
    """Call sites of __stack_chk_fail in our own code: (calls, ranges with
    one). Each range of our own code (a function, with -ffunction-sections)
    is disassembled from its start, so nothing between them can throw the
    decoder off."""
    with open(debug_path, "rb") as f:
        data = f.read()
    ranges, stack_chk_fail = own_code(debug_path, data, pefile.PE(data=data, fast_load=True),
                                      own_source_names(source_dir))
    if stack_chk_fail is None:
        return 0, 0
    image_base = pe.OPTIONAL_HEADER.ImageBase
    code = [s for s in pe.sections if s.Characteristics & SCN["IMAGE_SCN_MEM_EXECUTE"]]
    disassembler = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
    calls = with_calls = 0
    for start, size in ranges:
        section = next((s for s in code if 0 <= start - image_base - s.VirtualAddress < s.Misc_VirtualSize), None)
        if section is None:
            continue
        offset = start - image_base - section.VirtualAddress
        body = section.get_data()[offset:offset + size]
        found = 0
        for address, length, mnemonic, _ in disassembler.disasm_lite(body, start):
            # A direct call: e8 and a displacement from the next instruction.
            at = address - start
            if mnemonic == "call" and length == 5 and body[at] == 0xE8:
                target = (address + 5 + struct.unpack_from("<l", body, at + 1)[0]) & 0xFFFFFFFF
                found += target == stack_chk_fail
        calls += found
        with_calls += found > 0
    return calls, with_calls


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("file")
    parser.add_argument("--source-dir", required=True)
    parser.add_argument("--also-allowed", default="")
    parser.add_argument("--exports", default="")
    parser.add_argument("--no-cxx-imports", action="store_true")
    args = parser.parse_args()
    path, debug_path = args.file, args.file + ".debug"
    if not os.path.isfile(debug_path):
        sys.exit(f"{path}: no {debug_path} beside it, whose symbols the stack cookie check needs")
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as error:
        sys.exit(f"{path}: cannot be read as a PE file: {error}")

    header, optional = pe.FILE_HEADER, pe.OPTIONAL_HEADER
    flags = optional.DllCharacteristics
    names = section_names(pe, string_table_at(pe.__data__, pe))
    imports = getattr(pe, "DIRECTORY_ENTRY_IMPORT", [])
    dlls = [entry.dll.decode("latin-1").lower() for entry in imports]
    allowed = SYSTEM_DLLS | {d.lower() for d in args.also_allowed.split(",") if d}
    imported_names = [i.name.decode("latin-1") for entry in imports for i in entry.imports if i.name]
    export_table = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    exported = {s.name.decode("latin-1") for s in export_table.symbols if s.name} if export_table else set()
    # Writable and executable, or writable and shared between processes.
    unsafe = [name for name, s in zip(names, pe.sections)
              if s.Characteristics & SCN["IMAGE_SCN_MEM_WRITE"]
              and s.Characteristics & (SCN["IMAGE_SCN_MEM_EXECUTE"] | SCN["IMAGE_SCN_CNT_CODE"]
                                       | SCN["IMAGE_SCN_MEM_SHARED"])]
    relocations = optional.DATA_DIRECTORY[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
    calls, with_calls = cookie_checks(pe, debug_path, os.path.realpath(args.source_dir))
    cxx_imports = [n for n in imported_names if n.startswith("_Z")] if args.no_cxx_imports else []
    not_allowed = [d for d in dlls if d not in allowed]
    missing_exports = [n for n in args.exports.split(",") if n and n not in exported]
    debug_sections = [n for n in names if n.startswith(".debug_")]

    def has(flag):
        return flags & DLL["IMAGE_DLLCHARACTERISTICS_" + flag]

    rules = [
        # must hold                                        else the file
        (header.Machine == IMAGE_FILE_MACHINE_I386 and optional.Magic == PE32_MAGIC,
                                                           "is not i386 (PE32)"),
        (not not_allowed,                                  f"imports {', '.join(not_allowed)}, not KnownDLLs of Windows"),
        (not cxx_imports,                                  f"imports C++ names: {', '.join(cxx_imports)}"),
        (not debug_sections,                               f"carries debug sections: {', '.join(debug_sections)}"),
        (not missing_exports,                              f"does not export {', '.join(missing_exports)} under the plain name"),
        # Windows' hardening baseline
        (has("DYNAMIC_BASE"),                              "is not IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE: no ASLR"),
        (relocations.VirtualAddress and relocations.Size,  "has no relocation table for ASLR"),
        (has("NX_COMPAT"),                                 "is not IMAGE_DLLCHARACTERISTICS_NX_COMPAT: no DEP"),
        (has("NO_SEH"),                                    "is not IMAGE_DLLCHARACTERISTICS_NO_SEH"),
        (optional.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI, "is not a Windows GUI subsystem file"),
        ((optional.MajorSubsystemVersion, optional.MinorSubsystemVersion) == (6, 1),
                                                           "does not give 6.1 as subsystem version"),
        ((optional.MajorOperatingSystemVersion, optional.MinorOperatingSystemVersion) == (6, 1),
                                                           "does not give 6.1 as OS version"),
        (not unsafe,                                       f"has sections writable and executable or shared: {', '.join(unsafe)}"),
        (calls >= 1,                                       "checks no stack cookie: no call to __stack_chk_fail in our own functions"),
        (not path.endswith(".exe") or has("TERMINAL_SERVER_AWARE"),
                                                           "is not IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE"),
    ]
    broken = [failure for holds, failure in rules if not holds]
    if broken:
        sys.exit(f"{path}:\n  " + "\n  ".join(broken))
    print(f"{path}: i386 (PE32), {calls} calls to __stack_chk_fail in {with_calls} of our own functions,"
          f" imports {';'.join(dlls)}")


if __name__ == "__main__":
    main()
