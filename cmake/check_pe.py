#!/usr/bin/python3
"""Checks a built 32-bit Windows binary without running it.

usage: check_pe.py FILE --source-dir DIR [--also-allowed A.DLL,...]
                   [--exports NAME,...] [--no-cxx-imports] [--units]
       check_pe.py --rules

Reads FILE itself (pefile) and FILE.debug, the debug file beside it
(objcopy --only-keep-debug, cmake/SplitDebugInfo.cmake), whose DWARF
(pyelftools) tells how each compile unit was compiled and where: without
FILE.debug the check fails. DIR is the source tree: a unit compiled from
it is our own, and so is a unit whose name or compile folder cannot be
read, which fails.

Each rule in RULES has a stable id and says which files it applies to
(--rules lists them). Prints every broken rule, each after the file's name
as "[id] what is wrong", and exits 1; else prints one status line (with
--units also the stack cookie calls of each own unit) and exits 0.
Needs Debian's python3-pefile (2023.2.7 or 2024.8.26), python3-capstone
(4.0.2 or 5) and python3-pyelftools (0.29 or 0.32).
"""
import argparse
import inspect
import io
import os
import struct
import sys
import zlib
from typing import Callable, NamedTuple

import capstone
import pefile
from elftools.common.exceptions import DWARFError
from elftools.dwarf.dwarfinfo import DebugSectionDescriptor, DWARFInfo, DwarfConfig

# Windows' KnownDLLs (always taken from the system folder, never from beside
# the program) that a shipped file may import, and comctl32.dll, which the
# manifest's side-by-side dependency binds. Any other DLL, version.dll for
# one, would be looked for first in the program's own folder, where a
# download may have planted a DLL of that name: load it at run time from the
# system folder instead. Delay-loaded DLLs are searched for the same way.
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "shlwapi.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll", "comdlg32.dll",
               "comctl32.dll"}

IMAGE_FILE_MACHINE_I386 = 0x14C
IMAGE_FILE_DLL = 0x2000
PE32_MAGIC = 0x10B
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
SCN = {name: value for value, name in pefile.SECTION_CHARACTERISTICS.items() if isinstance(name, str)}
DLL = {name: value for value, name in pefile.DLL_CHARACTERISTICS.items() if isinstance(name, str)}
DIRECTORY = pefile.DIRECTORY_ENTRY

SYMBOL = struct.Struct("<8sLhHBB")
STACK_PROTECTOR = "-fstack-protector-strong"


def string_table_at(data, pe):
    """The COFF string table, right after the symbol table."""
    start = pe.FILE_HEADER.PointerToSymbolTable + SYMBOL.size * pe.FILE_HEADER.NumberOfSymbols
    return data[start:] if pe.FILE_HEADER.PointerToSymbolTable else b""


def c_string(data, offset):
    return data[offset:data.index(b"\0", offset)].decode("utf-8", "replace")


def section_names(pe, data):
    """Section names, long ones ("/4") looked up in the string table."""
    strings, names = string_table_at(data, pe), []
    for section in pe.sections:
        name = section.Name.rstrip(b"\0").decode("latin-1")
        if name.startswith("/") and name[1:].isdigit() and strings:
            name = c_string(strings, int(name[1:]))
        names.append(name)
    return names


def symbol_address(data, pe, wanted):
    """The address of the first defined COFF symbol named one of `wanted`."""
    strings, start = string_table_at(data, pe), pe.FILE_HEADER.PointerToSymbolTable
    i = 0
    while i < pe.FILE_HEADER.NumberOfSymbols:
        raw, value, section, _, _, aux_count = SYMBOL.unpack_from(data, start + SYMBOL.size * i)
        name = c_string(strings, struct.unpack("<L", raw[4:])[0]) if raw[:4] == b"\0\0\0\0" \
            else raw.rstrip(b"\0").decode("latin-1")
        if name in wanted and section > 0:
            return pe.OPTIONAL_HEADER.ImageBase + pe.sections[section - 1].VirtualAddress + value
        i += 1 + aux_count
    return None


def dwarf_info(pe, data):
    """pyelftools' reader of the DWARF in a PE file's .debug_* sections.
    Each argument of DWARFInfo named debug_X_sec gets section .debug_X, or
    None: the arguments are taken from the class, as pyelftools 0.30 added
    one (debug_types_sec) to those of 0.29."""
    sections = dict(zip(section_names(pe, data), pe.sections))

    def descriptor(name):
        s = sections.get(name)
        if s is None:
            return None
        # The section's bytes without the padding to the file alignment.
        raw = data[s.PointerToRawData:s.PointerToRawData + min(s.Misc_VirtualSize or s.SizeOfRawData, s.SizeOfRawData)]
        return DebugSectionDescriptor(io.BytesIO(raw), name, s.PointerToRawData, len(raw), 0)
    arguments = [a for a in inspect.signature(DWARFInfo).parameters if a.endswith("_sec")]
    return DWARFInfo(DwarfConfig(little_endian=True, machine_arch="x86", default_address_size=4),
                     **{a: descriptor("." + a[:-len("_sec")]) for a in arguments})


def compile_units(dwarf):
    """[(.debug_info offset, name, comp_dir, producer)] of every unit, from
    its first entry. A string that is missing, empty or cannot be read is None."""
    def text(attribute):
        value = attribute.value if attribute else None
        return (value.decode("utf-8", "replace") or None) if isinstance(value, bytes) else None
    units = []
    for unit in dwarf.iter_CUs():
        try:
            attributes = unit.get_top_DIE().attributes
        except Exception:   # pyelftools raises from several trees: the unit is unreadable
            attributes = {}
        units.append((unit.cu_offset, *(text(attributes.get(a)) for a in ("DW_AT_name", "DW_AT_comp_dir", "DW_AT_producer"))))
    return units


def is_own_unit(name, comp_dir, source_dir):
    """Our own units were compiled from a file of the source tree, in it or in
    the build folder inside it: the prefix map (the top CMakeLists.txt) turns
    both folders into ".", so their name and comp_dir are relative and the
    name is a file of the tree. A unit built elsewhere names the absolute
    folder it was compiled in, whatever its file is called. A compiler for
    Windows may join a path with a backslash (clang 19 writes
    "./cmake\\strx_forms.c"): both separators are read as one."""
    name, comp_dir = name.replace("\\", "/"), comp_dir.replace("\\", "/")

    def under_tree(path):
        path = os.path.normpath(path if os.path.isabs(path) else os.path.join(source_dir, path))
        return os.path.commonpath([path, source_dir]) == source_dir
    return under_tree(comp_dir) and under_tree(name) and \
        os.path.isfile(os.path.join(source_dir, name))


def protector_option(producer):
    """The stack protector option GCC was given last, as the producer records it."""
    if producer is None:
        return "no readable DW_AT_producer"
    options = [o for o in producer.split() if o.startswith(("-fstack-protector", "-fno-stack-protector"))]
    return options[-1] if options else "no stack protector option"


def own_units(pe, debug_path, source_dir):
    """[(name, protector option, cookie calls, functions with one)] per own
    unit. A unit whose name or comp_dir cannot be read cannot be shown to be
    foreign: it counts as ours, named by its offset, and fails the check.
    Each range of a unit's code (a function, with -ffunction-sections) is
    disassembled from its start, so nothing between them can throw the
    decoder off."""
    with open(debug_path, "rb") as f:
        data = f.read()
    debug_pe = pefile.PE(data=data, fast_load=True)
    dwarf = dwarf_info(debug_pe, data)
    if not dwarf.has_debug_info:
        sys.exit(f"{debug_path}: no DWARF .debug_info section")
    stack_chk_fail = symbol_address(data, debug_pe, ("__stack_chk_fail", "___stack_chk_fail"))
    # .debug_aranges: exactly each unit's own code, as the compiler lists it.
    ranges = {}
    for entry in dwarf.get_aranges().entries if dwarf.debug_aranges_sec else []:
        ranges.setdefault(entry.info_offset, []).append((entry.begin_addr, entry.length))
    code = [s for s in pe.sections if s.Characteristics & SCN["IMAGE_SCN_MEM_EXECUTE"]]
    disassembler = capstone.Cs(capstone.CS_ARCH_X86, capstone.CS_MODE_32)
    image_base, units = pe.OPTIONAL_HEADER.ImageBase, []
    for offset, name, comp_dir, producer in compile_units(dwarf):
        unread = [a for a, v in (("DW_AT_name", name), ("DW_AT_comp_dir", comp_dir)) if v is None]
        if not unread and not is_own_unit(name, comp_dir, source_dir):
            continue
        calls = with_calls = 0
        for start, size in ranges.get(offset, []) if stack_chk_fail else []:
            section = next((s for s in code if 0 <= start - image_base - s.VirtualAddress < s.Misc_VirtualSize), None)
            if section is None:
                continue
            at = start - image_base - section.VirtualAddress
            body = section.get_data()[at:at + size]
            found = 0
            for address, length, mnemonic, _ in disassembler.disasm_lite(body, start):
                # A direct call: e8 and a displacement from the next instruction.
                at = address - start
                if mnemonic == "call" and length == 5 and body[at] == 0xE8:
                    found += (address + 5 + struct.unpack_from("<l", body, at + 1)[0]) & 0xFFFFFFFF == stack_chk_fail
            calls += found
            with_calls += found > 0
        if unread:
            name, option = f"the unit at .debug_info+{offset:#x} of {os.path.basename(debug_path)}", \
                "no readable " + " or ".join(unread)
        else:
            name, option = os.path.normpath(name), protector_option(producer)
        units.append((name, option, calls, with_calls))
    return units


def debuglink(pe, names):
    """(file name, CRC) that .gnu_debuglink holds, or None."""
    section = next((s for name, s in zip(names, pe.sections) if name == ".gnu_debuglink"), None)
    if section is None:
        return None
    data = section.get_data()
    end = data.index(b"\0")
    # The name, its zero and padding to a multiple of 4, then the CRC-32.
    return data[:end].decode("latin-1"), struct.unpack_from("<L", data, (end + 4) & ~3)[0]


class Facts:
    """What the rules look at, read once from FILE and FILE.debug."""

    def __init__(self, path, pe, args):
        self.pe, self.header, self.optional = pe, pe.FILE_HEADER, pe.OPTIONAL_HEADER
        self.names = section_names(pe, pe.__data__)
        delayed = getattr(pe, "DIRECTORY_ENTRY_DELAY_IMPORT", [])
        imports = getattr(pe, "DIRECTORY_ENTRY_IMPORT", []) + delayed
        self.dlls = [entry.dll.decode("latin-1").lower() for entry in imports]
        allowed = SYSTEM_DLLS | {d.lower() for d in args.also_allowed.split(",") if d}
        self.not_allowed = [dll + " (delay-loaded)" * (entry in delayed) for dll, entry in zip(self.dlls, imports)
                            if dll not in allowed]
        imported = [i.name.decode("latin-1") for entry in imports for i in entry.imports if i.name]
        self.cxx_imports = [n for n in imported if n.startswith("_Z")]
        export_table = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
        exported = {s.name.decode("latin-1") for s in export_table.symbols if s.name} if export_table else set()
        self.missing_exports = [n for n in args.exports.split(",") if n and n not in exported]
        self.debug_sections = [n for n in self.names if n.startswith(".debug_")]
        # Writable and executable, or writable and shared between processes.
        self.unsafe = [name for name, s in zip(self.names, pe.sections)
                       if s.Characteristics & SCN["IMAGE_SCN_MEM_WRITE"]
                       and s.Characteristics & (SCN["IMAGE_SCN_MEM_EXECUTE"] | SCN["IMAGE_SCN_CNT_CODE"]
                                                | SCN["IMAGE_SCN_MEM_SHARED"])]
        self.relocations = self.optional.DATA_DIRECTORY[DIRECTORY["IMAGE_DIRECTORY_ENTRY_BASERELOC"]]
        self.units = own_units(pe, path + ".debug", os.path.realpath(args.source_dir))
        self.unprotected = [f"{name} ({option})" for name, option, _, _ in self.units if option != STACK_PROTECTOR]
        with open(path + ".debug", "rb") as f:
            self.debug_crc = zlib.crc32(f.read())
        self.link = debuglink(pe, self.names)
        self.debug_name = os.path.basename(path) + ".debug"

    def has(self, flag):
        return self.optional.DllCharacteristics & DLL["IMAGE_DLLCHARACTERISTICS_" + flag]


class Files(NamedTuple):
    """Which files a rule applies to: in words, and as a test of (Facts, args)."""
    words: str
    includes: Callable


class Rule(NamedTuple):
    id: str
    applies_to: Files
    holds: Callable     # of Facts
    message: Callable   # of Facts: what is wrong with the file, after its name


EVERY_FILE = Files("every file", lambda f, a: True)
PROGRAMS = Files("programs (no IMAGE_FILE_DLL)", lambda f, a: not f.header.Characteristics & IMAGE_FILE_DLL)
NO_CXX = Files("files checked with --no-cxx-imports", lambda f, a: a.no_cxx_imports)
EXPORTS = Files("files checked with --exports", lambda f, a: bool(a.exports))

#        id                   applies to  holds, and below it the message
RULES = [
    Rule("machine",           EVERY_FILE, lambda f: f.header.Machine == IMAGE_FILE_MACHINE_I386 and f.optional.Magic == PE32_MAGIC,
                                          lambda f: "is not i386 (PE32)"),
    Rule("system-imports",    EVERY_FILE, lambda f: not f.not_allowed,
                                          lambda f: f"imports {', '.join(f.not_allowed)}, not KnownDLLs of Windows"),
    Rule("cxx-imports",       NO_CXX,     lambda f: not f.cxx_imports,
                                          lambda f: f"imports C++ names: {', '.join(f.cxx_imports)}"),
    Rule("debug-sections",    EVERY_FILE, lambda f: not f.debug_sections,
                                          lambda f: f"carries debug sections: {', '.join(f.debug_sections)}"),
    Rule("plain-exports",     EXPORTS,    lambda f: not f.missing_exports,
                                          lambda f: f"does not export {', '.join(f.missing_exports)} under the plain name"),
    Rule("debuglink",         EVERY_FILE, lambda f: f.link == (f.debug_name, f.debug_crc),
                                          lambda f: f"names {'%s with CRC-32 %08x' % f.link if f.link else 'no file'} in .gnu_debuglink,"
                                                    f" not {f.debug_name} beside it, whose CRC-32 is {f.debug_crc:08x}"),
    # Windows' hardening baseline
    Rule("dynamic-base",      EVERY_FILE, lambda f: f.has("DYNAMIC_BASE"),
                                          lambda f: "is not IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE: no ASLR"),
    Rule("relocations",       EVERY_FILE, lambda f: f.relocations.VirtualAddress and f.relocations.Size,
                                          lambda f: "has no relocation table for ASLR"),
    Rule("nx-compat",         EVERY_FILE, lambda f: f.has("NX_COMPAT"),
                                          lambda f: "is not IMAGE_DLLCHARACTERISTICS_NX_COMPAT: no DEP"),
    Rule("no-seh",            EVERY_FILE, lambda f: f.has("NO_SEH"),
                                          lambda f: "is not IMAGE_DLLCHARACTERISTICS_NO_SEH"),
    Rule("gui-subsystem",     EVERY_FILE, lambda f: f.optional.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI,
                                          lambda f: "is not a Windows GUI subsystem file"),
    Rule("subsystem-version", EVERY_FILE, lambda f: (f.optional.MajorSubsystemVersion, f.optional.MinorSubsystemVersion) == (6, 1),
                                          lambda f: "does not give 6.1 as subsystem version"),
    Rule("os-version",        EVERY_FILE, lambda f: (f.optional.MajorOperatingSystemVersion, f.optional.MinorOperatingSystemVersion) == (6, 1),
                                          lambda f: "does not give 6.1 as OS version"),
    Rule("wx-sections",       EVERY_FILE, lambda f: not f.unsafe,
                                          lambda f: f"has sections writable and executable or shared: {', '.join(f.unsafe)}"),
    Rule("stack-cookies",     EVERY_FILE, lambda f: f.units and not f.unprotected,
                                          lambda f: f"has own compile units not recorded as built with {STACK_PROTECTOR}: "
                                                    f"{', '.join(f.unprotected) or 'no own unit found'}"),
    Rule("terminal-server",   PROGRAMS,   lambda f: f.has("TERMINAL_SERVER_AWARE"),
                                          lambda f: "is not IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE"),
]


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("file", nargs="?")
    parser.add_argument("--source-dir")
    parser.add_argument("--also-allowed", default="")
    parser.add_argument("--exports", default="")
    parser.add_argument("--no-cxx-imports", action="store_true")
    parser.add_argument("--units", action="store_true", help="print each own unit's stack cookie calls")
    parser.add_argument("--rules", action="store_true", help="list the rules: id, what they apply to")
    args = parser.parse_args()
    if args.rules:
        for rule in RULES:
            print(f"{rule.id}\t{rule.applies_to.words}")
        return
    if not args.file or not args.source_dir:
        parser.error("FILE and --source-dir are needed")
    path = args.file
    if not os.path.isfile(path + ".debug"):
        sys.exit(f"{path}: no {path}.debug beside it, whose DWARF the stack cookie check needs")
    try:
        facts = Facts(path, pefile.PE(path), args)
    except (OSError, pefile.PEFormatError, DWARFError) as error:
        sys.exit(f"{path}: cannot be read as a PE file with DWARF beside it: {error}")

    broken = [f"[{rule.id}] {rule.message(facts)}" for rule in RULES
              if rule.applies_to.includes(facts, args) and not rule.holds(facts)]
    if broken:
        sys.exit(f"{path}:\n  " + "\n  ".join(broken))
    calls = sum(u[2] for u in facts.units)
    print(f"{path}: i386 (PE32), {len(facts.units)} own units built with {STACK_PROTECTOR},"
          f" {calls} calls to __stack_chk_fail in {sum(u[3] for u in facts.units)} of their functions,"
          f" imports {';'.join(facts.dlls)}")
    if args.units:
        for name, _, unit_calls, with_calls in facts.units:
            print(f"  {name}: {unit_calls} calls in {with_calls} functions")


if __name__ == "__main__":
    main()
