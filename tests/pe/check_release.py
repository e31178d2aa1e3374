#!/usr/bin/env python3
"""Checks that the release netopt.exe loads and runs on any Windows 98 machine.

Nothing here can run a 32-bit exe, so the proof comes from the file itself:
its headers, imports, TLS, static constructors, instructions, resources and
size. Every failure
names what is wrong; the exit code is the number of failures (at most 100).

Usage: check_release.py EXE --objdump OBJDUMP --info-text FILE
                        --exports FILE --nt-only FILE [--max-size BYTES]
"""
import argparse
import re
import struct
import subprocess
import sys

LANG_RUSSIAN = 1049
RT_ICON, RT_DIALOG, RT_GROUP_ICON = 3, 5, 14
ALLOWED_DLLS = {"KERNEL32", "USER32", "COMCTL32", "ADVAPI32", "RASAPI32"}

# Instructions and registers newer than the i486.
NEWER_THAN_486 = re.compile(
    r"\b(cmov\w*|fcmov\w*|fcomip?|fucomip?|cmpxchg8b|cmpxchg16b|rdtscp?|rdpmc|cpuid|"
    r"sysenter|sysexit|syscall|sysret|movnti|prefetch\w*|lfence|sfence|mfence|"
    r"pause|emms|ud2|popcnt|lzcnt|tzcnt|movbe|crc32)\b|%[xyz]?mm\d")

WS_CHILD, WS_VISIBLE, WS_TABSTOP, WS_GROUP = 0x40000000, 0x10000000, 0x00010000, 0x00020000
WS_POPUP, WS_CAPTION, WS_SYSMENU, WS_MINIMIZEBOX = 0x80000000, 0x00C00000, 0x00080000, 0x00020000
WS_BORDER, WS_VSCROLL = 0x00800000, 0x00200000
DS_3DLOOK, DS_SETFONT, DS_MODALFRAME, DS_CENTER = 0x4, 0x40, 0x80, 0x800
WS_EX_DLGMODALFRAME, WS_EX_TOPMOST = 0x1, 0x8
BS_PUSHBUTTON, BS_GROUPBOX, BS_CENTER = 0x0, 0x7, 0x300
SS_LEFT, SS_CENTER, SS_ICON, SS_CENTERIMAGE = 0x0, 0x1, 0x3, 0x200
ES_MULTILINE, ES_AUTOVSCROLL, ES_AUTOHSCROLL, ES_READONLY = 0x4, 0x40, 0x80, 0x800
DIALOG_STYLE = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | \
    DS_3DLOOK | DS_SETFONT
SHOWN = WS_CHILD | WS_VISIBLE
BUTTON = SHOWN | BS_PUSHBUTTON | BS_CENTER | WS_TABSTOP

# The two dialog templates: caption, geometry, styles, font, and the
# controls in order as (id, class, text, x, y, w, h, style).
DIALOGS = {
    1: dict(
        caption="Программа сетевой оптимизации", rect=(0, 0, 298, 142),
        style=DIALOG_STYLE | WS_MINIMIZEBOX, exstyle=WS_EX_DLGMODALFRAME,
        font=(8, 0, 0, 1, "MS Sans Serif"),
        controls=[
            (101, "BUTTON", "", 5, 4, 288, 133, SHOWN | BS_GROUPBOX | WS_GROUP),
            (102, "BUTTON", "Начать оптимизацию", 12, 16, 88, 16, BUTTON),
            (103, "BUTTON", "Закрыть", 12, 40, 88, 16, BUTTON),
            (104, "BUTTON", "О программе", 12, 64, 88, 16, BUTTON),
            (20, "STATIC", "Text1", 68, 92, 161, 13, WS_CHILD | SS_CENTER),
            (105, "msctls_progress32", "ProgressBar1", 29, 108, 240, 17, WS_CHILD),
            (106, "EDIT", "Edit1", 104, 16, 184, 72,
             SHOWN | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL |
             WS_VSCROLL | WS_BORDER | WS_TABSTOP),
        ]),
    2: dict(
        caption="О программе", rect=(0, 0, 112, 98),
        style=DIALOG_STYLE, exstyle=WS_EX_DLGMODALFRAME | WS_EX_TOPMOST,
        font=(12, 400, 0, 1, "MS Sans Serif"),
        controls=[
            (-1, "STATIC", "Программа сетевой", 28, 8, 72, 13, SHOWN | SS_LEFT),
            (50, "STATIC", "IMAGE1", 0, 8, 20, 16, SHOWN | SS_ICON | SS_CENTERIMAGE),
            (-1, "STATIC", "оптимизации V 1.2", 28, 20, 64, 12, SHOWN | SS_LEFT),
            (201, "BUTTON", "ok", 40, 84, 32, 12, BUTTON),
            (-1, "STATIC", None, 28, 32, 56, 9, SHOWN | SS_LEFT),
            (-1, "STATIC", None, 12, 68, 88, 12, SHOWN | SS_CENTER),
            (-1, "STATIC", "E-mail: *", 6, 47, 100, 20, SHOWN | SS_CENTER),
        ]),
}
CONTROL_CLASSES = {0x80: "BUTTON", 0x81: "EDIT", 0x82: "STATIC"}

failures = []


def fail(message):
    failures.append(message)
    print("FAIL " + message)


class Image:
    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        self.pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[self.pe:self.pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, count, _, _, _, optional_size, _) = struct.unpack_from(
            "<HHIIIHH", data, self.pe + 4)
        self.optional = self.pe + 24
        self.magic = struct.unpack_from("<H", data, self.optional)[0]
        self.sections = []
        table = self.optional + optional_size
        for i in range(count):
            name, vsize, rva, rawsize, rawptr = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((name.rstrip(b"\0").decode(), vsize, rva, rawsize, rawptr))

    def optional_fields(self):
        o = self.optional
        image_base, section_align, file_align = struct.unpack_from("<III", self.data, o + 28)
        os_major, os_minor, _, _, sub_major, sub_minor = struct.unpack_from("<6H", self.data, o + 40)
        subsystem = struct.unpack_from("<H", self.data, o + 68)[0]
        return dict(image_base=image_base, section_align=section_align, os=(os_major, os_minor),
                    subsystem_version=(sub_major, sub_minor), subsystem=subsystem)

    def directory(self, index):
        return struct.unpack_from("<II", self.data, self.optional + 96 + 8 * index)

    def offset(self, rva):
        for _, vsize, start, rawsize, rawptr in self.sections:
            if start <= rva < start + max(vsize, rawsize):
                return rawptr + rva - start
        raise ValueError(f"RVA {rva:#x} is in no section")

    def cstring(self, rva):
        at = self.offset(rva)
        return self.data[at:self.data.index(b"\0", at)].decode("latin-1")


def imports(image):
    """(dll, function) pairs; the DLL upper-case without .dll."""
    rva, _ = image.directory(1)
    found, at = [], image.offset(rva)
    while True:
        lookup, _, _, name, thunks = struct.unpack_from("<IIIII", image.data, at)
        if name == 0:
            return found
        dll = image.cstring(name).upper().removesuffix(".DLL")
        entry = image.offset(lookup or thunks)
        while True:
            value = struct.unpack_from("<I", image.data, entry)[0]
            if value == 0:
                break
            found.append((dll, f"#{value & 0xFFFF}" if value & 0x80000000
                          else image.cstring(value + 2)))
            entry += 4
        at += 20


def resources(image):
    """{(type, name, language): data}, integer or string identifiers."""
    rva, _ = image.directory(2)
    if rva == 0:
        return {}
    base = image.offset(rva)

    def name_of(value):
        if value & 0x80000000:
            at = base + (value & 0x7FFFFFFF)
            length = struct.unpack_from("<H", image.data, at)[0]
            return image.data[at + 2:at + 2 + 2 * length].decode("utf-16-le")
        return value

    def walk(offset, path):
        _, _, _, _, named, ids = struct.unpack_from("<IIHHHH", image.data, base + offset)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", image.data, base + offset + 16 + 8 * i)
            if target & 0x80000000:
                yield from walk(target & 0x7FFFFFFF, path + (name_of(name),))
            else:
                data_rva, size, _, _ = struct.unpack_from("<IIII", image.data, base + target)
                at = image.offset(data_rva)
                yield path + (name_of(name),), image.data[at:at + size]

    return dict(walk(0, ()))


def check_headers(image, size_limit):
    f = image.optional_fields()
    if image.machine != 0x14C or image.magic != 0x10B:
        fail(f"not PE32 for i386 (machine {image.machine:#x}, magic {image.magic:#x})")
    if f["subsystem"] != 2:
        fail(f"subsystem {f['subsystem']}, not the Windows GUI (2)")
    if f["subsystem_version"] != (4, 0):
        fail("subsystem version %d.%d, not 4.0" % f["subsystem_version"])
    if f["os"] != (4, 0):
        fail("OS version %d.%d, not 4.0" % f["os"])
    if f["image_base"] != 0x400000:
        fail(f"image base {f['image_base']:#x}, not 0x400000")
    if f["section_align"] != 4096:
        fail(f"section alignment {f['section_align']}, not 4096")
    if image.directory(9) != (0, 0):
        fail("a TLS directory (and so TLS callbacks) is present")
    if len(image.data) > size_limit:
        fail(f"{len(image.data)} bytes, over the budget of {size_limit}")


# The linker lays out the lists of static constructors and destructors as
# -1, the entries, 0. With no startup code nothing would run the entries, so
# both must be empty: no global object may need dynamic initialisation.
EMPTY_CONSTRUCTOR_LISTS = b"\xff\xff\xff\xff\0\0\0\0\xff\xff\xff\xff\0\0\0\0"


def check_constructors(image):
    text = [s for s in image.sections if s[0] == ".text"]
    if not text:
        fail("no .text section")
        return
    _, vsize, _, rawsize, rawptr = text[0]
    if EMPTY_CONSTRUCTOR_LISTS not in image.data[rawptr:rawptr + min(vsize, rawsize)]:
        fail("static constructors or destructors, which nothing would run: "
             "a global object needs dynamic initialisation")


def read_list(path):
    """The DLL!Function names of an allowlist, and those marked as stubs."""
    names, stubs = set(), set()
    for line in open(path, encoding="utf-8"):
        entry = line.split("#")[0].strip()
        if entry:
            names.add(entry)
            if "stub on 98" in line:
                stubs.add(entry)
    return names, stubs


def check_imports(image, exports_path, nt_only_path):
    known, stubs = read_list(exports_path)
    nt_only, _ = read_list(nt_only_path)
    found = imports(image)
    for dll in sorted({dll for dll, _ in found} - ALLOWED_DLLS):
        fail(f"imports from {dll}, a DLL the program must not need")
    for dll, function in found:
        name = f"{dll}!{function}"
        if name not in known:
            fail(f"imports {name}, which Windows 98 is not known to export")
        elif name in stubs and name not in nt_only:
            fail(f"imports {name}, a stub on Windows 98, on a path that Windows 98 takes")
    return found


def check_instructions(exe, objdump):
    listing = subprocess.run([objdump, "-d", "--no-show-raw-insn", exe], check=True,
                             capture_output=True, text=True).stdout
    bad = [line.strip() for line in listing.splitlines()
           if "\t" in line and NEWER_THAN_486.search(line.split("\t", 1)[1])]
    for line in bad[:10]:
        fail(f"an instruction newer than the i486: {line}")
    if len(bad) > 10:
        fail(f"... and {len(bad) - 10} more such instructions")


def parse_dialog(data):
    """A DLGTEMPLATEEX: its header fields and controls."""
    at = 0

    def take(fmt):
        nonlocal at
        values = struct.unpack_from(fmt, data, at)
        at += struct.calcsize(fmt)
        return values

    def text_or_id(classes=None):
        nonlocal at
        first = struct.unpack_from("<H", data, at)[0]
        if first == 0xFFFF:
            at += 4
            value = struct.unpack_from("<H", data, at - 2)[0]
            return classes.get(value, value) if classes else value
        end = at
        while struct.unpack_from("<H", data, end)[0] != 0:
            end += 2
        text = data[at:end].decode("utf-16-le")
        at = end + 2
        return text

    def align():
        nonlocal at
        at += (-at) % 4

    version, signature, _, exstyle, style, count, x, y, cx, cy = take("<HHIIIHhhhh")
    if (version, signature) != (1, 0xFFFF):
        return None
    menu, cls, caption = text_or_id(), text_or_id(), text_or_id()
    size, weight, italic, charset = take("<HHBB")
    face = text_or_id()
    controls = []
    for _ in range(count):
        align()
        _, cexstyle, cstyle, cx_, cy_, cw, ch, cid = take("<IIIhhhhi")
        ccls = text_or_id(CONTROL_CLASSES)
        ctext = text_or_id()
        extra = take("<H")[0]
        at += extra
        controls.append((cid, ccls, ctext if isinstance(ctext, str) else "", cx_, cy_, cw, ch,
                         cstyle))
    return dict(caption=caption, rect=(x, y, cx, cy), style=style, exstyle=exstyle,
                font=(size, weight, italic, charset, face), menu=menu, cls=cls,
                controls=controls)


def check_dialog(number, data):
    expected = DIALOGS[number]
    dialog = parse_dialog(data)
    if dialog is None:
        fail(f"dialog {number} is not an extended template")
        return
    for field in ("caption", "rect", "style", "exstyle", "font"):
        if dialog[field] != expected[field]:
            fail(f"dialog {number}: {field} {dialog[field]!r}, expected {expected[field]!r}")
    if dialog["menu"] != "" or dialog["cls"] != "":
        fail(f"dialog {number}: a menu or a class of its own")
    if len(dialog["controls"]) != len(expected["controls"]):
        fail(f"dialog {number}: {len(dialog['controls'])} controls, "
             f"expected {len(expected['controls'])}")
    for got, want in zip(dialog["controls"], expected["controls"]):
        cid, cls, text, *geometry = want
        mismatch = got[0] != (cid & 0xFFFFFFFF if cid >= 0 else -1) or \
            str(got[1]).upper() != cls.upper() or tuple(got[3:]) != tuple(geometry)
        if text is not None:
            mismatch |= not (got[2] == text or
                             (text.endswith("*") and got[2].startswith(text[:-1])
                              and len(got[2]) > len(text) - 1))
        if mismatch:
            fail(f"dialog {number}: control {got!r}, expected {want!r}")


def check_icons(found):
    group = found.get((RT_GROUP_ICON, 40, LANG_RUSSIAN))
    if group is None:
        fail("no icon group 40 in language 1049")
        return set()
    _, kind, count = struct.unpack_from("<HHH", group, 0)
    entries = [struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i) for i in range(count)]
    sizes = sorted((w or 256, h or 256) for w, h, *_ in entries)
    if kind != 1 or sizes != [(16, 16), (32, 32)]:
        fail(f"the icon group holds images of {sizes}, expected 32x32 and 16x16")
    ids = set()
    for width, height, colours, _, _, bits, size, image_id in entries:
        ids.add(image_id)
        image = found.get((RT_ICON, image_id, LANG_RUSSIAN))
        if image is None:
            fail(f"icon image {image_id} is missing")
            continue
        _, w, h, _, depth = struct.unpack_from("<IiiHH", image, 0)
        if colours != 16 or bits != 4 or depth != 4:
            fail(f"icon image {image_id}: {colours} colours, {depth} bits a pixel, expected 16 and 4")
        if (w, h) != (width, 2 * height) or len(image) != size:
            fail(f"icon image {image_id}: header {w}x{h} does not match its entry")
    return ids


def check_resources(image, info_text):
    found = resources(image)
    expected = {(RT_DIALOG, 1, LANG_RUSSIAN), (RT_DIALOG, 2, LANG_RUSSIAN),
                ("TEXT", 30, LANG_RUSSIAN), (RT_GROUP_ICON, 40, LANG_RUSSIAN)}
    expected |= {(RT_ICON, i, LANG_RUSSIAN) for i in check_icons(found)}
    for key in sorted(set(found) - expected, key=str):
        fail(f"an extra resource: type {key[0]!r}, name {key[1]!r}, language {key[2]}")
    for key in sorted(expected - set(found), key=str):
        fail(f"a missing resource: type {key[0]!r}, name {key[1]!r}, language {key[2]}")
    text = found.get(("TEXT", 30, LANG_RUSSIAN))
    if text is not None and text != info_text:
        fail(f"the TEXT resource 30 ({len(text)} bytes) differs from the {len(info_text)}-byte file")
    for number in DIALOGS:
        if (RT_DIALOG, number, LANG_RUSSIAN) in found:
            check_dialog(number, found[(RT_DIALOG, number, LANG_RUSSIAN)])


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("exe")
    parser.add_argument("--objdump", required=True)
    parser.add_argument("--info-text", required=True)
    parser.add_argument("--exports", required=True)
    parser.add_argument("--nt-only", required=True)
    parser.add_argument("--max-size", type=int, default=12288)
    args = parser.parse_args()
    data = open(args.exe, "rb").read()
    try:
        image = Image(data)
    except ValueError as error:
        fail(f"{args.exe}: {error}")
        return 1
    check_headers(image, args.max_size)
    check_constructors(image)
    found = check_imports(image, args.exports, args.nt_only)
    check_instructions(args.exe, args.objdump)
    check_resources(image, open(args.info_text, "rb").read())

    print(f"{args.exe}: {len(data)} bytes (budget {args.max_size})")
    for name, vsize, _, rawsize, _ in image.sections:
        print(f"  {name:8} {vsize:6} bytes in memory, {rawsize:6} in the file")
    print("  imports: " + ", ".join(f"{dll}!{fn}" for dll, fn in found))
    print(f"{'FAILED' if failures else 'PASSED'}: {len(failures)} problem(s)")
    return min(len(failures), 100)


if __name__ == "__main__":
    sys.exit(main())
