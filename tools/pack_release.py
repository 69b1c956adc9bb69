#!/usr/bin/env python3
"""Packs a release folder and writes its checksums, the same bytes on every run.

    pack_release.py <release folder> <archive.zip> <top folder name in the archive>

The archive holds every file of the folder under <top>/, in sorted order, each with the time
SOURCE_DATE_EPOCH (the time of the commit; zip cannot store times before 1980) and the same
permissions, so neither the time of building nor the checkout's umask reaches it. Then
<folder>/SHA256SUMS lists every file of the folder and, by its name alone, the archive, in the
form `sha256sum -c` reads: a folder published with the archive beside it checks as it is.
"""
import hashlib
import os
import sys
import time
import zipfile

SUMS = "SHA256SUMS"
ZIP_EARLIEST = 315532800  # 1980-01-01 00:00:00 UTC


def files_of(folder):
    """Paths below folder with forward slashes, sorted by their bytes."""
    found = []
    for d, _, files in os.walk(folder):
        for f in files:
            found.append(os.path.relpath(os.path.join(d, f), folder).replace(os.sep, "/"))
    return sorted((p for p in found if p != SUMS), key=lambda p: p.encode())


def sha256(path):
    digest = hashlib.sha256()
    with open(path, "rb") as f:
        for block in iter(lambda: f.read(1 << 20), b""):
            digest.update(block)
    return digest.hexdigest()


def main():
    if len(sys.argv) != 4 or not os.path.isdir(sys.argv[1]):
        print(__doc__, file=sys.stderr)
        return 2
    folder, archive, top = sys.argv[1:4]
    epoch = os.environ.get("SOURCE_DATE_EPOCH")
    if not epoch or not epoch.isdigit():
        print("pack_release: SOURCE_DATE_EPOCH must hold the release's time in seconds", file=sys.stderr)
        return 2
    stamp = time.gmtime(max(int(epoch), ZIP_EARLIEST))[:6]
    names = files_of(folder)
    with zipfile.ZipFile(archive, "w", zipfile.ZIP_DEFLATED) as z:
        for name in names:
            entry = zipfile.ZipInfo(f"{top}/{name}", date_time=stamp)
            entry.compress_type = zipfile.ZIP_DEFLATED
            entry.external_attr = 0o100644 << 16
            with open(os.path.join(folder, name), "rb") as f:
                z.writestr(entry, f.read())
    lines = [f"{sha256(os.path.join(folder, name))}  {name}\n" for name in names]
    lines.append(f"{sha256(archive)}  {os.path.basename(archive)}\n")
    with open(os.path.join(folder, SUMS), "w", encoding="utf-8", newline="\n") as f:
        f.writelines(lines)
    return 0


if __name__ == "__main__":
    sys.exit(main())
