#!/usr/bin/python3
"""Fails when a production source includes a layer above or beside its own,
or a platform-internal detail/ header from outside platform/.

Usage: check_layers.py SOURCE_ROOT

Includes are written from the source root, so an include's folder names the
layer it reaches into. Prints each offending file:line with the reason and
exits 1; exits 0 when every include goes down the layers; exits 2 when the
root holds none of the layers' folders.
"""

import os
import re
import sys

PLATFORM = ("platform", "platform/net", "platform/files")

# The one table of allowed directions. A row is a folder (with every folder
# below it that has no row of its own, so ui/windows/ belongs to ui/); its
# files may include their own row's files and those of the rows listed.
# The top-down order of the layers is main, ui, app, ftp, sock, platform;
# rtf/ stands beside platform/, and only ui/ uses it; record/ stands beside
# ftp/, below app/, and release/ (the maker's tool) on record/ and the
# platform, with the signing that nothing else may use.
MAY_INCLUDE = {
    "main": ("ui", "app", "record", "ftp", "sock") + PLATFORM,
    "ui": ("app", "record", "ftp", "sock", "rtf") + PLATFORM,
    "app": ("record", "ftp", "sock") + PLATFORM,
    "ftp": ("sock",) + PLATFORM,
    "sock": PLATFORM,
    "rtf": ("platform",),
    # Release records, dates and the verdict: the window's logic and the
    # maker's tool read them with the same code, which needs no network.
    "record": ("platform",),
    # The maker's tool: the records and the console, never the FTP client,
    # the sockets or a window.
    "release": ("record", "platform", "platform/console", "platform/signing"),
    "platform": (),
    "platform/net": ("platform",),
    # The receive into a file (platform/files/ReceiveIntoFile*.cpp) splices
    # from a socket into the file, and the files library already stands on
    # the network library (vm_files links vm_net).
    "platform/files": ("platform", "platform/net"),
    "platform/console": ("platform",),
    # Key making and signing: the maker's tool alone links it. A signature
    # is put in place through the downloads' temporary file.
    "platform/signing": ("platform", "platform/files"),
}

# detail/ headers are the platform's internals: only platform/ and the tests
# (which this script does not read, nor harness/, bench/ and fuzz/, which may
# include anything) see them.
DETAIL_READERS = "platform"

SOURCE_SUFFIXES = (".cpp", ".cc", ".c", ".h", ".hpp", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def row_of(folder):
    """The row a folder belongs to: its own, or its nearest ancestor's."""
    while folder:
        if folder in MAY_INCLUDE:
            return folder
        folder = os.path.dirname(folder)
    return None


def is_within(folder, top):
    return folder == top or folder.startswith(top + "/")


def reasons_against(source_folder, included):
    """Why a file of source_folder may not include `included`; empty if it may."""
    reasons = []
    source_row = row_of(source_folder)
    target_row = row_of(os.path.dirname(included))
    if target_row is None:
        reasons.append("names no layer (includes are written from the source root)")
    elif target_row != source_row and target_row not in MAY_INCLUDE[source_row]:
        allowed = "".join(f", {row}/" for row in MAY_INCLUDE[source_row])
        reasons.append(f"goes up or across the layers: {source_row}/ may include only its own files{allowed}")
    if "detail" in included.split("/")[:-1] and not is_within(source_folder, DETAIL_READERS):
        reasons.append(f"reaches into a detail/ folder, which only {DETAIL_READERS}/ and tests/ may include")
    return reasons


def sources_under(root):
    tops = sorted({row.split("/")[0] for row in MAY_INCLUDE})
    for top in tops:
        for directory, folders, files in os.walk(os.path.join(root, top)):
            folders.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    path = os.path.join(directory, name)
                    yield os.path.relpath(path, root).replace(os.sep, "/")


def violations_in(root, source):
    source_folder = os.path.dirname(source)
    with open(os.path.join(root, source), encoding="utf-8", errors="replace") as text:
        for number, line in enumerate(text, start=1):
            match = INCLUDE.match(line)
            # A name without a folder is a generated header (ui_*.h) or one
            # the resource compiler finds beside its script.
            if not match or "/" not in match.group(1):
                continue
            included = match.group(1)
            for reason in reasons_against(source_folder, included):
                yield f'{source}:{number}: includes "{included}": {reason}'


def main(arguments):
    if len(arguments) != 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    root = arguments[1]
    sources = list(sources_under(root))
    if not sources:
        print(f"{root}: no sources in any of the layers' folders", file=sys.stderr)
        return 2
    found = [violation for source in sources for violation in violations_in(root, source)]
    for violation in found:
        print(violation)
    if found:
        print(f"{len(found)} include(s) against the layers, in {len(sources)} sources")
        return 1
    print(f"every include of {len(sources)} sources goes down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
