#!/usr/bin/python3
"""Checks the built PokoSw.dll as a PE file: machine and DLL flag, the export
table, the import table and the two dialog templates, against the tables
below. Prints one line per failed check (expected against actual) and a final
"N passed, N failed" line; the exit code is 0 only when every check passed.

    check_pe.py [--bits 32|64] [-v] PokoSw.dll

--bits 64 checks the x86-64 test build instead of the 32-bit product and skips
the checks that only hold for a 32-bit image. -v also lists the imported DLLs
and functions. The version resource must give file version 2.0.0 with a product
name and a description.

The dialog templates are parsed here from their bytes (classic DLGTEMPLATE and
DLGITEMTEMPLATE), not through pefile, so that every field is compared.
Needs Debian's python3-pefile, hence /usr/bin/python3.
"""

import argparse
import os
import re
import struct
import sys
from typing import NamedTuple, Optional, Union

import pefile

# --- What the module must look like ------------------------------------------

MODULE_NAME = "PokoSw.dll"

# bits -> (IMAGE_FILE_HEADER.Machine, optional-header magic, what they mean)
MACHINES = {
    32: (0x014C, 0x010B, "i386, PE32"),
    64: (0x8664, 0x020B, "x86-64, PE32+"),
}
IMAGE_FILE_DLL = 0x2000
IMAGE_FILE_32BIT_MACHINE = 0x0100
IMAGE_SCN_MEM_EXECUTE = 0x20000000

# ordinal -> plain name; nothing else may be exported.
EXPORTS = {
    1: "GetFunctionInfo",
    2: "DoProcess",
}

# Compared without regard to case, as the loader does.
ALLOWED_IMPORTS = ["KERNEL32.dll", "USER32.dll"]

# Why a DLL outside ALLOWED_IMPORTS is wrong, by pattern; first match names it.
FORBIDDEN_IMPORTS = [
    (re.compile(r"^(msvcr.*|msvcp.*|ucrtbase.*|vcruntime.*|api-ms-win-crt-.*)\.dll$", re.I),
     "C runtime, absent from or not guaranteed on a user's Windows"),
    (re.compile(r"^(libgcc.*|libstdc\+\+.*|libwinpthread.*)\.dll$", re.I),
     "GCC runtime DLL, absent from a user's Windows"),
    (re.compile(r"^comctl32\.dll$", re.I),
     "the plug-in neither loads nor initialises the common controls library"),
]

# Libraries the plug-in must not load by any means: their names must not occur
# anywhere in the image (GNU ld leaves the delay-import directory empty, and a
# LoadLibraryA call names the library only in a string).
UNREFERENCED_LIBRARIES = ["comctl32"]

RT_DIALOG = 5
LANG_JAPANESE = 1041  # MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)

BUTTON = 0x0080  # predefined window classes, stored as 0xFFFF + ordinal
STATIC = 0x0082
NONE = ""        # no menu, or the standard dialog class (a single 0x0000 word)

DS_SETFONT = 0x40
FONT = (9, "ＭＳ Ｐゴシック")  # full-width Ｍ Ｓ, ASCII space, full-width Ｐ, katakana
CANCEL_TEXT = "ｷｬﾝｾﾙ"       # half-width katakana, U+FF77 U+FF6C U+FF9D U+FF7E U+FF99


class Control(NamedTuple):
    id: int
    cls: Union[int, str]   # ordinal of a predefined class, or a class name
    text: Union[int, str]
    style: int
    rect: tuple            # x, y, cx, cy in dialog units
    exstyle: int = 0
    creation_data: bytes = b""


class Dialog(NamedTuple):
    style: int
    exstyle: int
    rect: tuple
    menu: Union[int, str]
    cls: Union[int, str]
    caption: str
    font: Optional[tuple]  # (point size, typeface), present with DS_SETFONT
    controls: list


DIALOGS = {
    # Instance list: resizable, no system menu, not visible until initialised.
    101: Dialog(
        style=0x80C40040, exstyle=0, rect=(0, 0, 234, 155), menu=NONE, cls=NONE,
        caption="ポコナビ一覧", font=FONT,
        controls=[
            Control(1000, "SysListView32", "List1", 0x5081800D, (5, 5, 225, 125)),
            Control(1, BUTTON, "OK", 0x50010F01, (35, 140, 50, 14)),
            Control(2, BUTTON, CANCEL_TEXT, 0x50010F00, (90, 140, 50, 14)),
            Control(1001, BUTTON, "設定", 0x50010F00, (145, 140, 60, 15)),
        ]),
    # Settings: two check boxes, a note without id, OK and Cancel.
    102: Dialog(
        style=0x80C800C0, exstyle=0, rect=(0, 0, 123, 59), menu=NONE, cls=NONE,
        caption="ポコナビ一覧の設定", font=FONT,
        controls=[
            Control(1002, BUTTON, "パスの表示はフォルダにする", 0x50010003, (5, 5, 100, 8)),
            Control(1003, BUTTON, "リストを表示せずに切り替える", 0x50010003, (5, 15, 100, 8)),
            Control(0xFFFF, STATIC, "どちらも次回起動時から有効になります", 0x50020000, (5, 27, 115, 8)),
            Control(1, BUTTON, "OK", 0x50010001, (25, 40, 35, 14)),
            Control(2, BUTTON, CANCEL_TEXT, 0x50010000, (62, 40, 35, 14)),
        ]),
}

# --- Reporting ---------------------------------------------------------------


def show(value):
    """A value as a mismatch line shows it: ordinals and styles in hex, texts
    quoted, with code points for non-ASCII texts (full- and half-width forms
    look alike)."""
    if isinstance(value, str):
        if value.isascii():
            return '"%s"' % value
        return '"%s" [%s]' % (value, " ".join("U+%04X" % ord(c) for c in value))
    if isinstance(value, bytes):
        return "%d bytes %s" % (len(value), value.hex()) if value else "no bytes"
    return repr(value)


def exact(expected, actual):
    return expected == actual


class Checker:
    def __init__(self):
        self.passed = 0
        self.failed = 0

    def fail(self, what, expected, actual):
        self.failed += 1
        print("FAIL %s: expected %s, got %s" % (what, expected, actual))

    def check(self, what, expected, actual, fmt=show, equal=exact):
        """Counts one check; returns whether it passed."""
        if equal(expected, actual):
            self.passed += 1
            return True
        self.fail(what, fmt(expected), fmt(actual))
        return False


def hex32(value):
    return "0x%08X" % value


def hex16(value):
    return "0x%04X" % value


def show_font(font):
    return "no font" if font is None else "%d point %s" % (font[0], show(font[1]))


def show_names(names):
    return " and ".join(show(n) if n else "an export without name" for n in names) or "nothing"


def same_class(expected, actual):
    """Window classes are looked up by name without regard to case, and GNU
    windres stores every class name of a template in upper case
    ("SYSLISTVIEW32"); an ordinal must match exactly, and a predefined class
    given by name instead of its ordinal does not match."""
    if isinstance(expected, str) and isinstance(actual, str):
        return expected.casefold() == actual.casefold()
    return expected == actual


def sz_or_ord(value):
    if isinstance(value, int):
        return "ordinal 0x%04X" % value
    if value == NONE:
        return "none (0x0000)"
    return show(value)


# --- Image header ------------------------------------------------------------


def check_image(ck, pe, path, bits):
    machine, magic, label = MACHINES[bits]
    header = pe.FILE_HEADER
    ck.check("machine (%s)" % label, machine, header.Machine, hex16)
    ck.check("optional header magic (%s)" % label, magic, pe.OPTIONAL_HEADER.Magic, hex16)
    ck.check("IMAGE_FILE_DLL flag", True, bool(header.Characteristics & IMAGE_FILE_DLL))
    if bits == 32:
        ck.check("IMAGE_FILE_32BIT_MACHINE flag", True,
                 bool(header.Characteristics & IMAGE_FILE_32BIT_MACHINE))
    # The settings file is found through the module's file name.
    ck.check("file name (case-insensitive)", MODULE_NAME.lower(),
             os.path.basename(path).lower())


# --- Exports -----------------------------------------------------------------


def check_exports(ck, pe):
    directory = getattr(pe, "DIRECTORY_ENTRY_EXPORT", None)
    if not ck.check("export table present", True, directory is not None):
        return
    name = directory.name.decode("latin-1") if directory.name else NONE
    ck.check("export table DLL name", MODULE_NAME, name)

    actual = {}
    for symbol in directory.symbols:
        # pefile lists every slot of the address table, also empty ones.
        if symbol.address == 0 and symbol.name is None:
            continue
        actual.setdefault(symbol.ordinal, []).append(symbol)

    for ordinal, expected_name in EXPORTS.items():
        symbols = actual.get(ordinal, [])
        names = [s.name.decode("latin-1") if s.name else None for s in symbols]
        if not ck.check("export ordinal %d name" % ordinal, [expected_name], names, show_names):
            continue
        symbol = symbols[0]
        ck.check("export %s is code, not a forwarder" % expected_name, None,
                 symbol.forwarder.decode("latin-1") if symbol.forwarder else None)
        section = pe.get_section_by_rva(symbol.address)
        executable = bool(section and section.Characteristics & IMAGE_SCN_MEM_EXECUTE)
        ck.check("export %s RVA 0x%X in an executable section" % (expected_name, symbol.address),
                 True, executable)

    extra = ["%d %s" % (ordinal, s.name.decode("latin-1") if s.name else "(no name)")
             for ordinal, symbols in sorted(actual.items()) if ordinal not in EXPORTS
             for s in symbols]
    ck.check("exports other than ordinals %s" % ", ".join(map(str, EXPORTS)),
             "none", ", ".join(extra) or "none", str)
    ck.check("export address table size", len(EXPORTS),
             directory.struct.NumberOfFunctions)
    ck.check("export name table size", len(EXPORTS), directory.struct.NumberOfNames)


# --- Imports -----------------------------------------------------------------


def imported_dlls(pe):
    """[(dll name, how loaded, [function names or #ordinals])]"""
    result = []
    for attr, how in (("DIRECTORY_ENTRY_IMPORT", "import"),
                      ("DIRECTORY_ENTRY_DELAY_IMPORT", "delay-load import")):
        for entry in getattr(pe, attr, []):
            functions = [imp.name.decode("latin-1") if imp.name else "#%d" % imp.ordinal
                         for imp in entry.imports]
            result.append((entry.dll.decode("latin-1"), how, functions))
    return result


def check_imports(ck, pe, verbose):
    dlls = imported_dlls(pe)
    if verbose:
        for dll, how, functions in dlls:
            print("%s %s: %s" % (how, dll, ", ".join(functions)))

    allowed = {name.lower() for name in ALLOWED_IMPORTS}
    wanted = "one of " + ", ".join(ALLOWED_IMPORTS)
    for dll, how, _ in dlls:
        verdict = wanted if dll.lower() in allowed else next(
            (why for pattern, why in FORBIDDEN_IMPORTS if pattern.match(dll)),
            "not one of the allowed system DLLs")
        ck.check("%s of %s" % (how, dll), wanted, verdict, str)

    image = pe.__data__
    for library in UNREFERENCED_LIBRARIES:
        places = []
        for encoding in ("ascii", "utf-16-le"):
            pattern = re.compile(re.escape(library.encode(encoding)), re.I)
            for match in pattern.finditer(image):
                section = pe.get_section_by_offset(match.start())
                places.append("%s at file offset 0x%X in %s" % (
                    encoding, match.start(),
                    section.Name.rstrip(b"\0").decode("latin-1") if section else "no section"))
        ck.check("name %s anywhere in the image" % library, "nowhere",
                 "; ".join(places) or "nowhere", str)

    seen = {dll.lower() for dll, _, _ in dlls}
    for name in ALLOWED_IMPORTS:
        ck.check("imports from %s" % name, "present",
                 "present" if name.lower() in seen else "missing", str)


# --- Dialog templates --------------------------------------------------------


class TemplateError(Exception):
    pass


class Reader:
    """Little-endian reader over one resource's bytes; offsets are relative to
    the template start, which is also where DWORD alignment is counted from
    (resource data is DWORD-aligned in the file)."""

    def __init__(self, data):
        self.data = data
        self.pos = 0

    def unpack(self, fmt):
        size = struct.calcsize(fmt)
        if self.pos + size > len(self.data):
            raise TemplateError("template ends at byte %d, inside a field at byte %d"
                                % (len(self.data), self.pos))
        values = struct.unpack_from("<" + fmt, self.data, self.pos)
        self.pos += size
        return values

    def word(self):
        return self.unpack("H")[0]

    def string(self):
        """A NUL-terminated UTF-16LE string."""
        units = []
        while True:
            unit = self.word()
            if unit == 0:
                return struct.pack("<%dH" % len(units), *units).decode("utf-16-le", "replace")
            units.append(unit)

    def sz_or_ord(self):
        """0x0000: none or empty; 0xFFFF then an ordinal; otherwise a string."""
        first = self.word()
        if first == 0x0000:
            return NONE
        if first == 0xFFFF:
            return self.word()
        self.pos -= 2
        return self.string()

    def align(self):
        self.pos = (self.pos + 3) & ~3

    def take(self, count):
        if self.pos + count > len(self.data):
            raise TemplateError("creation data of %d bytes runs past the template end" % count)
        chunk = self.data[self.pos:self.pos + count]
        self.pos += count
        return chunk


def parse_dialog(data):
    """Classic DLGTEMPLATE and its DLGITEMTEMPLATEs -> (Dialog, trailing bytes)."""
    reader = Reader(data)
    if len(data) >= 4 and struct.unpack_from("<HH", data) == (1, 0xFFFF):
        raise TemplateError("an extended template (DLGTEMPLATEEX), not the classic form")
    style, exstyle, count, x, y, cx, cy = reader.unpack("IIHhhhh")
    menu = reader.sz_or_ord()
    cls = reader.sz_or_ord()
    caption = reader.string()
    font = None
    if style & DS_SETFONT:
        size = reader.word()
        font = (size, reader.string())
    controls = []
    for _ in range(count):
        reader.align()
        c_style, c_exstyle, c_x, c_y, c_cx, c_cy, c_id = reader.unpack("IIhhhhH")
        c_cls = reader.sz_or_ord()
        c_text = reader.sz_or_ord()
        extra = reader.take(reader.word())
        controls.append(Control(c_id, c_cls, c_text, c_style, (c_x, c_y, c_cx, c_cy),
                                c_exstyle, extra))
    return Dialog(style, exstyle, (x, y, cx, cy), menu, cls, caption, font, controls), \
        data[reader.pos:]


def dialog_entries(pe):
    """{resource name (int id or str): {language id: data entry}} of RT_DIALOG."""
    result = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for type_entry in root.entries if root else []:
        if type_entry.id != RT_DIALOG:
            continue
        for name_entry in type_entry.directory.entries:
            key = name_entry.id if name_entry.id is not None else str(name_entry.name)
            result[key] = {lang.id: lang.data for lang in name_entry.directory.entries}
    return result


LABELS = {"cls": "class", "rect": "x, y, cx, cy", "creation_data": "creation data"}


def compare_dialog(ck, number, expected, actual):
    where = "dialog %d" % number
    for field, fmt in (("style", hex32), ("exstyle", hex32), ("rect", show),
                       ("menu", sz_or_ord), ("cls", sz_or_ord), ("caption", show),
                       ("font", show_font)):
        ck.check("%s %s" % (where, LABELS.get(field, field)),
                 getattr(expected, field), getattr(actual, field), fmt,
                 same_class if field == "cls" else exact)

    ck.check("%s control count" % where, len(expected.controls), len(actual.controls))
    for index, (want, got) in enumerate(zip(expected.controls, actual.controls), 1):
        item = "%s control %d (id %s)" % (where, index, hex16(want.id) if want.id == 0xFFFF
                                           else want.id)
        for field, fmt in (("id", show), ("cls", sz_or_ord), ("text", sz_or_ord),
                           ("style", hex32), ("exstyle", hex32), ("rect", show),
                           ("creation_data", show)):
            ck.check("%s %s" % (item, LABELS.get(field, field)),
                     getattr(want, field), getattr(got, field), fmt,
                     same_class if field == "cls" else exact)


def check_dialogs(ck, pe):
    entries = dialog_entries(pe)
    ck.check("dialog resources", sorted(DIALOGS), sorted(entries, key=str))
    for number, expected in DIALOGS.items():
        languages = entries.get(number)
        if languages is None:
            continue  # already counted as a failure above
        if not ck.check("dialog %d languages" % number, [LANG_JAPANESE], sorted(languages)):
            if LANG_JAPANESE not in languages:
                continue
        entry = languages[LANG_JAPANESE].struct
        data = pe.get_data(entry.OffsetToData, entry.Size)
        try:
            actual, trailing = parse_dialog(data)
        except TemplateError as error:
            ck.fail("dialog %d template" % number, "a classic template of %d controls"
                    % len(expected.controls), error)
            continue
        compare_dialog(ck, number, expected, actual)
        # Up to three zero bytes of padding may follow; more is a control that a
        # too low control count leaves unread.
        ck.check("dialog %d bytes after the last control" % number, b"",
                 trailing.rstrip(b"\0") if len(trailing) < 4 else trailing)


# --- Version resource ---------------------------------------------------------

# The file's version; GetFunctionInfo keeps reporting the interface version 200.
EXPECTED_FILE_VERSION = "2.0.0.0"


def check_version(ck, pe):
    fixed = getattr(pe, "VS_FIXEDFILEINFO", None)
    if not fixed:
        ck.fail("version resource", "present", "none")
        return
    product, description = version_strings(pe)
    version = file_version(fixed[0])
    ck.check("file version", EXPECTED_FILE_VERSION, version)
    ck.check("product name present", True, bool(product))
    ck.check("file description present", True, bool(description))
    print("version resource: file version %s, product name %s"
          % (version, show(product) if product is not None else "none"))


def file_version(info):
    return "%d.%d.%d.%d" % (info.FileVersionMS >> 16, info.FileVersionMS & 0xFFFF,
                            info.FileVersionLS >> 16, info.FileVersionLS & 0xFFFF)


def version_strings(pe):
    found = {}
    for file_info in getattr(pe, "FileInfo", []):
        for block in file_info if isinstance(file_info, list) else [file_info]:
            for table in getattr(block, "StringTable", []):
                for key in (b"ProductName", b"FileDescription"):
                    value = table.entries.get(key)
                    if value is not None and key not in found:
                        # The string table's code page decides the bytes pefile returns.
                        for codec in ("utf-8", "cp932", "latin-1"):
                            try:
                                found[key] = value.decode(codec)
                                break
                            except UnicodeDecodeError:
                                pass
    return found.get(b"ProductName"), found.get(b"FileDescription")


# --- Main --------------------------------------------------------------------


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("dll")
    parser.add_argument("--bits", type=int, choices=sorted(MACHINES), default=32,
                        help="32 for the product (default), 64 for the x86-64 test build")
    parser.add_argument("-v", "--verbose", action="store_true",
                        help="list the imported DLLs and functions")
    args = parser.parse_args()
    sys.stdout.reconfigure(errors="backslashreplace")

    ck = Checker()
    try:
        pe = pefile.PE(args.dll)
    except (OSError, pefile.PEFormatError) as error:
        ck.fail("PE file %s" % args.dll, "a readable PE image", error)
    else:
        check_image(ck, pe, args.dll, args.bits)
        check_exports(ck, pe)
        check_imports(ck, pe, args.verbose)
        check_dialogs(ck, pe)
        check_version(ck, pe)
    print("%d passed, %d failed" % (ck.passed, ck.failed))
    return 0 if ck.failed == 0 else 1


if __name__ == "__main__":
    sys.exit(main())
