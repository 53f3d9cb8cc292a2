#!/usr/bin/env python3
"""Writes the release archive: both modules, the manuals, the licence and the notices, and the
SHA-256 sums of them all, under one folder named after the release.

The same inputs give the same bytes: the entries come in the order of CONTENTS, each with the
same time (SOURCE_DATE_EPOCH), permissions and compression, and no extra fields.

Usage: release_archive.py ROOT VERSION DLL32 DLL64 OUT.zip
"""
import hashlib
import os
import re
import sys
import time
import zipfile

# What the archive holds, in its order: the name in the archive, the source (a path below the
# source root, or the module of that word size), and how a text is written for Windows users.
CONTENTS = [
    ("README-ja.txt", "docs/manual/ja.txt", "utf-8 with bom"),
    ("README-en.txt", "docs/manual/en.txt", "utf-8"),
    ("LICENSE.txt", "LICENSE", "utf-8"),
    ("THIRD-PARTY-NOTICES.txt", "notices/modules.txt", "utf-8"),
    ("for-32bit-modeller/quorvel_clone.dll", "module 32", "binary"),
    ("for-64bit-modeller/quorvel_clone.dll", "module 64", "binary"),
]
SUMS = "SHA256SUMS.txt"
MANUALS = [name for name, _, _ in CONTENTS if name.startswith("README-")]
FOLDERS = sorted({name.split("/")[0] for name, _, _ in CONTENTS if "/" in name})

# The PE machine of each word size's module.
MACHINES = {"32": 0x14C, "64": 0x8664}

FILE_MODE = 0o100644 << 16
FOLDER_MODE = (0o040755 << 16) | 0x10  # and the MS-DOS directory bit


def fail(message):
    sys.exit("release_archive: " + message)


def pe_machine(data):
    """The machine field of a PE file's header, or None."""
    if data[:2] != b"MZ" or len(data) < 0x40:
        return None
    header = int.from_bytes(data[0x3C:0x40], "little")
    if data[header : header + 4] != b"PE\0\0":
        return None
    return int.from_bytes(data[header + 4 : header + 6], "little")


def windows_text(data, form):
    """Text as Notepad shows it best: CR LF line ends, and a byte-order mark for the Japanese."""
    text = data.decode("utf-8").replace("\r\n", "\n").replace("\n", "\r\n")
    return ("\ufeff" if form == "utf-8 with bom" else "") + text


def read_contents(root, version, modules):
    files = []
    for name, source, form in CONTENTS:
        if source.startswith("module "):
            path = modules[source.split()[1]]
            data = open(path, "rb").read()
            # A module left from another version's build must not go out under this name, nor a
            # module in the other word size's folder.
            if ("Quorvel -Clone- %s\0" % version).encode() not in data:
                fail("%s does not name itself Quorvel -Clone- %s" % (path, version))
            if pe_machine(data) != MACHINES[source.split()[1]]:
                fail("%s is not a %s-bit module" % (path, source.split()[1]))
        else:
            data = open(os.path.join(root, source), "rb").read()
            data = windows_text(data, form).encode("utf-8")
        files.append((name, data))
    # Each manual tells which folder goes with which modeller, and explains every text the dialog
    # shows: it must use the folders' names and the dialog's own words.
    words = FOLDERS + dialog_texts(root)
    for name, data in files:
        if name in MANUALS:
            for word in words:
                if word.encode("utf-8") not in data:
                    fail("%s does not mention %s" % (name, word))
    return files


def dialog_texts(root):
    """The labels, boxes and buttons of the dialog's template (not the spin controls' hidden
    texts, nor the one-letter column headings)."""
    template = open(os.path.join(root, "src/dialog/clone_dialog.rc"), encoding="utf-8").read()
    texts = re.findall(r'^\s*CONTROL "([^"]+)"', template, re.M)
    return [text for text in texts if text != "Spin1" and len(text) > 1]


def sums(files):
    lines = ["%s  %s\r\n" % (hashlib.sha256(data).hexdigest(), name) for name, data in files]
    return "".join(lines).encode("ascii")


def write_archive(out, top, files, date_time):
    def entry(name, mode):
        info = zipfile.ZipInfo(top + "/" + name, date_time)
        info.create_system = 3
        info.external_attr = mode
        info.compress_type = zipfile.ZIP_DEFLATED
        return info

    partial = out + ".partial"
    with zipfile.ZipFile(partial, "w") as archive:
        for folder in [""] + FOLDERS:
            info = entry(folder + "/" if folder else "", FOLDER_MODE)
            info.compress_type = zipfile.ZIP_STORED
            archive.writestr(info, b"")
        for name, data in files:
            archive.writestr(entry(name, FILE_MODE), data, compresslevel=9)
    os.replace(partial, out)


def main():
    if len(sys.argv) != 6:
        fail("usage: release_archive.py ROOT VERSION DLL32 DLL64 OUT.zip")
    root, version, dll32, dll64, out = sys.argv[1:]
    # A zip time cannot lie before 1980; the default is the source's date, given by the caller.
    epoch = max(int(os.environ.get("SOURCE_DATE_EPOCH", "315532800")), 315532800)
    date_time = time.gmtime(epoch)[:6]
    files = read_contents(root, version, {"32": dll32, "64": dll64})
    files.append((SUMS, sums(files)))
    top = "quorvel_clone-" + version
    os.makedirs(os.path.dirname(os.path.abspath(out)), exist_ok=True)
    write_archive(out, top, files, date_time)
    for name, data in files:
        if name.endswith(".dll"):
            print("release: %s/%s: %d bytes" % (top, name, len(data)))
    print("release: %s (%d bytes)" % (out, os.path.getsize(out)))


if __name__ == "__main__":
    main()
