#!/usr/bin/env python3
"""Writes the distribution's zip so that the same files give the same bytes
on any machine, in any folder, at any time:

    make-zip.py OUT.zip FOLDER FILE...

Each FILE goes into FOLDER/ inside the zip, in sorted order, with no owner,
no permissions and one time for all: SOURCE_DATE_EPOCH if it is set, else
the time of the last commit. (Zip tools write the files' own times, owners
and modes, which differ between builds.)
"""
import os
import subprocess
import sys
import time
import zipfile

ZIP_EPOCH = 315532800  # 1980-01-01, the earliest time a zip entry holds


def source_date():
    if "SOURCE_DATE_EPOCH" in os.environ:
        return int(os.environ["SOURCE_DATE_EPOCH"])
    here = os.path.dirname(os.path.abspath(__file__))
    out = subprocess.run(["git", "-C", here, "log", "-1", "--format=%ct"],
                         check=True, capture_output=True, text=True).stdout
    return int(out)


def main(out, folder, files):
    date_time = time.gmtime(max(source_date(), ZIP_EPOCH))[:6]
    with zipfile.ZipFile(out, "w") as zip_file:
        for path in sorted(files, key=os.path.basename):
            entry = zipfile.ZipInfo(f"{folder}/{os.path.basename(path)}", date_time)
            entry.create_system = 0  # MS-DOS: no Unix owner or mode
            entry.compress_type = zipfile.ZIP_DEFLATED
            with open(path, "rb") as f:
                zip_file.writestr(entry, f.read())


if __name__ == "__main__":
    if len(sys.argv) < 4:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
