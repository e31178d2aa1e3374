#!/usr/bin/python3
"""Checks that the release loads and runs on any Windows 98 machine.
Usage: check_release.py EXE OBJDUMP EXPORTS NT_ONLY"""
import hashlib
import re
import struct
import subprocess
import sys

import pefile

RUSSIAN = 1049
# The release's budget: a small download, a few pages of memory.
MAX_SIZE = 12288
# The information text's 610 bytes: a change to them must be made here too.
INFO_TEXT_SHA256 = "3d2f689a30a40b771931324ad32e8c582d9c4aad80d0023701112806cf784b40"
DLLS = {"KERNEL32", "USER32", "COMCTL32", "ADVAPI32", "RASAPI32"}
NEWER_THAN_486 = re.compile(r"\t.*\b(cmov\w*|fcmov\w*|fu?comip?|cmpxchg8b|rdtscp?|rdpmc|cpuid|"
                            r"sysenter|sysexit|syscall|sysret|movnti|prefetch\w*|[lsm]fence|pause|"
                            r"emms|ud2|popcnt|lzcnt|tzcnt|movbe|crc32)\b|\t.*%[xy]?mm\d")
# The linker's lists of static constructors and destructors, both empty:
# without the C runtime nothing would run their entries.
NO_CONSTRUCTORS = b"\xff\xff\xff\xff\0\0\0\0\xff\xff\xff\xff\0\0\0\0"
problems = []


def check(condition, problem):
    if not condition:
        problems.append(problem)
        print("FAIL " + problem)


def names(path):
    """The DLL!Function names of a list, and those it marks as stubs on 98."""
    entries = [(line + "#").split("#")[:2] for line in open(path, encoding="utf-8")]
    return ({name.strip() for name, _ in entries} - {""},
            {name.strip() for name, note in entries if "stub on 98" in note})


def main(exe, objdump, exports, nt_only):
    data = open(exe, "rb").read()
    pe = pefile.PE(data=data)
    header = pe.OPTIONAL_HEADER
    check(pe.FILE_HEADER.Machine == 0x14C and header.Magic == 0x10B, "not PE32 for i386")
    check(header.Subsystem == 2, "not a Windows GUI program")
    check((header.MajorSubsystemVersion, header.MinorSubsystemVersion,
           header.MajorOperatingSystemVersion, header.MinorOperatingSystemVersion) == (4, 0, 4, 0),
          "subsystem or OS version not 4.0")
    check(header.SectionAlignment == 4096, "section alignment not 4096")
    check(header.DATA_DIRECTORY[9].Size == 0, "a TLS directory, which Windows 98 ignores")
    check(NO_CONSTRUCTORS in data, "a global needs dynamic initialisation")
    check(len(data) <= MAX_SIZE, f"{len(data)} bytes, over {MAX_SIZE}")

    known, stubs = names(exports)
    stubs -= names(nt_only)[0]
    for entry in pe.DIRECTORY_ENTRY_IMPORT:
        dll = entry.dll.decode().upper().removesuffix(".DLL")
        for function in entry.imports:
            name = f"{dll}!" + (function.name or f"#{function.ordinal}".encode()).decode()
            check(dll in DLLS and name in known, f"imports {name}, unknown to Windows 98")
            check(name not in stubs, f"imports {name}, a stub on 98")

    disassembly = subprocess.run([objdump, "-d", exe], capture_output=True, text=True)
    check(disassembly.returncode == 0,
          f"{objdump} -d failed ({disassembly.returncode}): {disassembly.stderr.strip()}")
    for line in disassembly.stdout.splitlines():
        check(not NEWER_THAN_486.search(line), f"newer than the i486: {line}")

    # Exactly the two dialogs, the TEXT resource, and the icon group with its
    # two 16-colour images (width, height, colours, ..., bits, size, id).
    found = {(str(kind.name or kind.id), item.id, language.id):
             pe.get_data(language.data.struct.OffsetToData, language.data.struct.Size)
             for kind in pe.DIRECTORY_ENTRY_RESOURCE.entries
             for item in kind.directory.entries for language in item.directory.entries}
    group = found.get(("14", 40, RUSSIAN), bytes(6))
    icons = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(group[4])]
    check(sorted(icon[:3] + icon[5:6] for icon in icons) == [(16, 16, 16, 4), (32, 32, 16, 4)],
          "the icons are not 16 and 32 pixels of 16 colours")
    expected = {("5", 1, RUSSIAN), ("5", 2, RUSSIAN), ("TEXT", 30, RUSSIAN), ("14", 40, RUSSIAN)}
    check(set(found) == expected | {("3", icon[7], RUSSIAN) for icon in icons},
          f"resources {sorted(found)}")
    text = found.get(("TEXT", 30, RUSSIAN), b"")
    check(hashlib.sha256(text).hexdigest() == INFO_TEXT_SHA256,
          "the TEXT resource 30 is not the information text")
    print(f"{exe}: {len(data)} bytes, " +
          ", ".join(f"{s.Name.rstrip(bytes(1)).decode()} {s.Misc_VirtualSize}" for s in pe.sections))
    return min(len(problems), 100)


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
